#pragma once

#include <optional>

#include "app/Agent.h"
#include "control/ControlCommand.h"
#include "platform/Ports.h"

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
#include "tests/fakes/FakeScreenHost.h"
#include "tests/fakes/ManualTime.h"
#include "tests/fakes/TempDir.h"

namespace twig::test {

// A complete set of ports for one test: fakes for everything that talks to the machine, real
// folders in a temp dir, manual time; and the agent made from them, as the programs make it, on
// first use (so that a test points it at its own service first).
class TestPorts {
 public:
  TestPorts();
  ~TestPorts();
  TestPorts(const TestPorts&) = delete;
  TestPorts& operator=(const TestPorts&) = delete;

  TempDir dir;
  ManualTime time;
  NotificationCenter notifications;
  FakeDeviceFacts device;
  MemoryKeychain keychain;
  MemoryUserDefaults userDefaults;
  DataDirectories directories;
  FakeReachability reachability;
  FakeImageDownloadCache imageCache;
  FakeScreenHost screenHost;
  FakeAnalytics analytics;
  FakeUrlOpener urls;
  FakeApplicationShell shell;
  FakeProcessTable processes;
  FakeDeviceState deviceState;
  FakeAudioPlayer audio;
  FakeLocationService location;
  FakeSpeechSynthesizer speech;
  FakeInstalledApplications installed;
  // Real pictures: the codec of the agent and a photo library over `picturesFolder()`.
  PixbufImageCodec codec;
  FolderPhotoLibrary photos;
  FakeCamera camera;
  BackgroundPool pool{2, "test-pool"};
  DeploymentSettings settings;

  // Points the API client at a test server (before its first use).
  std::filesystem::path picturesFolder() const { return dir / "Pictures"; }
  void useServiceHost(const std::string& hostAndPort) { settings.serviceHost = hostAndPort; }

  // The ports as the agent gets them.
  const Ports& all() const { return set_; }
  // The same ports with another clock.
  Ports withClock(Clock& clock) const;
  // The agent of this test, made from these ports and the fake screen host at the first call.
  Agent& agent();
  // The agent made with another screen host (the window's), at the first call of either.
  Agent& agent(StackScreenHost& host);
  // Ends the agent (its threads and connections) before the test's own servers go.
  void endAgent() { agent_.reset(); }
  Agent::Options agentOptions;
  // What the agent hands a command on the control tables, with `rebuild` as its table rebuild.
  ControlTools controlTools(std::function<void()> rebuild = nullptr);

 private:
  Ports set_;
  std::optional<Agent> agent_;
};

// A payload as the command it decodes to (tests hand handlers payloads they wrote).
Command command(const Json& payload);

}  // namespace twig::test
