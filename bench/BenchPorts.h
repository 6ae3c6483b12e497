#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "app/Agent.h"
#include "frame/StackScreenHost.h"
#include "platform/BackgroundPool.h"
#include "platform/DeploymentSettings.h"
#include "platform/NotificationCenter.h"
#include "platform/PlainMainLoop.h"
#include "platform/Ports.h"
#include "platform/Uuid.h"
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

namespace twig::bench {

// A screen host that shows nothing: benchmarks drive the agent without screens.
class QuietScreenHost final : public StackScreenHost {
 protected:
  void render(LineKind, const std::string&) override {}
};

// The ports a benchmark runs the core on: the given clock and process table, a plain main loop,
// files in a scratch folder, and quiet stand-ins for the device; and the agent made from them, as
// the programs make it. A fresh device identity each time, so that sessions and retained messages
// of earlier runs stay out of the way.
class BenchPorts {
 public:
  BenchPorts(Clock& clock, const std::filesystem::path& folder, std::uint16_t mqttPort,
             ProcessTable* processTable = nullptr)
      : loop(clock),
        directories(folder / "app"),
        photos(folder / "Pictures", codec),
        set_(Ports{.mainLoop = loop,
                   .clock = clock,
                   .notifications = notifications,
                   .device = device,
                   .keychain = keychain,
                   .userDefaults = defaults,
                   .directories = directories,
                   .reachability = reachability,
                   .backgroundPool = pool,
                   .imageCache = imageCache,
                   .analytics = analytics,
                   .urlOpener = urls,
                   .applicationShell = shell,
                   .processTable = processTable != nullptr ? *processTable : processes,
                   .deviceState = deviceState,
                   .audioPlayer = audio,
                   .locationService = location,
                   .speechSynthesizer = speech,
                   .installedApplications = installed,
                   .imageCodec = codec,
                   .photoLibrary = photos,
                   .camera = camera,
                   .settings = settings}) {
    auto values = device.values();
    values.vendorIdentifier = Uuid::randomString();
    device.set(values);
    defaults.setBool("kChildAppsCache", true);
    settings.serviceHost = "127.0.0.1:9";
    settings.mqttPort = mqttPort;
  }
  BenchPorts(const BenchPorts&) = delete;
  BenchPorts& operator=(const BenchPorts&) = delete;

  Agent& agent() {
    if (!agent_) agent_.emplace(set_, host);
    return *agent_;
  }
  void endAgent() { agent_.reset(); }

  PlainMainLoop loop;
  NotificationCenter notifications;
  FakeDeviceFacts device;
  FakeDeviceState deviceState;
  FakeAudioPlayer audio;
  MemoryKeychain keychain;
  MemoryUserDefaults defaults;
  DataDirectories directories;
  FakeReachability reachability;
  FakeImageDownloadCache imageCache;
  FakeAnalytics analytics;
  FakeUrlOpener urls;
  FakeApplicationShell shell;
  FakeProcessTable processes;
  FakeLocationService location;
  FakeSpeechSynthesizer speech;
  FakeInstalledApplications installed;
  PixbufImageCodec codec;
  FolderPhotoLibrary photos;
  FakeCamera camera;
  BackgroundPool pool{1, "bench-pool"};
  DeploymentSettings settings;
  QuietScreenHost host;

 private:
  Ports set_;
  std::optional<Agent> agent_;
};

}  // namespace twig::bench
