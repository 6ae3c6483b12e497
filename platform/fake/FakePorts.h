#pragma once

#include <cstddef>
#include <filesystem>

#include "platform/BackgroundPool.h"
#include "platform/DeploymentSettings.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"
#include "platform/fake/FakeAnalytics.h"
#include "platform/fake/FakeApplicationShell.h"
#include "platform/fake/FakeAudioPlayer.h"
#include "platform/fake/FakeCamera.h"
#include "platform/fake/FakeDeviceFacts.h"
#include "platform/fake/FakeDeviceState.h"
#include "platform/fake/FakeImageDownloadCache.h"
#include "platform/fake/FakeInstalledApplications.h"
#include "platform/fake/FakeLocationService.h"
#include "platform/fake/FakeProcessTable.h"
#include "platform/fake/FakeReachability.h"
#include "platform/fake/FakeSpeechSynthesizer.h"
#include "platform/fake/FakeUrlOpener.h"
#include "platform/fake/MemoryKeychain.h"
#include "platform/fake/MemoryUserDefaults.h"
#include "platform/linux/DataDirectories.h"
#include "platform/linux/FolderPhotoLibrary.h"
#include "platform/linux/PixbufImageCodec.h"

namespace twig {

// Every port an agent needs, for tests and benchmarks: quiet stand-ins for what talks to the
// machine, real folders and real pictures under `folder`, the loop and clock handed in. The
// service address points nowhere until the caller points it at its own server.
class FakePorts {
 public:
  FakePorts(MainLoop& loop, Clock& clock, const std::filesystem::path& folder,
            ProcessTable* processTable = nullptr, std::size_t poolThreads = 2);
  FakePorts(const FakePorts&) = delete;
  FakePorts& operator=(const FakePorts&) = delete;

  NotificationCenter notifications;
  FakeDeviceFacts device;
  MemoryKeychain keychain;
  MemoryUserDefaults userDefaults;
  DataDirectories directories;
  FakeReachability reachability;
  FakeImageDownloadCache imageCache;
  FakeAnalytics analytics;
  FakeUrlOpener urls;
  FakeApplicationShell shell;
  FakeProcessTable processes;
  FakeDeviceState deviceState;
  FakeAudioPlayer audio;
  FakeLocationService location;
  FakeSpeechSynthesizer speech;
  FakeInstalledApplications installed;
  PixbufImageCodec codec;
  FolderPhotoLibrary photos;
  FakeCamera camera;
  BackgroundPool pool;
  DeploymentSettings settings;

  // The ports as an agent gets them.
  const Ports& all() const { return set_; }
  // The same ports with another clock.
  Ports withClock(Clock& clock) const;

 private:
  Ports set_;
};

}  // namespace twig
