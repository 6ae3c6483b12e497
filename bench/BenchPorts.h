#pragma once

#include <filesystem>
#include <memory>

#include "platform/DeploymentSettings.h"
#include "platform/NotificationCenter.h"
#include "platform/PlainMainLoop.h"
#include "platform/Ports.h"
#include "platform/Uuid.h"
#include "platform/fake/FakeAudioPlayer.h"
#include "platform/fake/FakeDeviceFacts.h"
#include "platform/fake/FakeDeviceState.h"
#include "platform/fake/MemoryKeychain.h"
#include "platform/fake/MemoryUserDefaults.h"
#include "platform/linux/DataDirectories.h"

namespace twig::bench {

// The ports a benchmark runs the core on: the given clock, a plain main loop, files in a scratch
// folder, and quiet stand-ins for the device. A fresh device identity each time, so that sessions
// and retained messages of earlier runs stay out of the way. Installed while the object lives.
class BenchPorts {
 public:
  BenchPorts(Clock& clock, const std::filesystem::path& folder, std::uint16_t mqttPort)
      : loop(clock), directories(folder / "app") {
    auto values = device.values();
    values.vendorIdentifier = Uuid::randomString();
    device.set(values);
    defaults.setBool("kChildAppsCache", true);
    settings.serviceHost = "127.0.0.1:9";
    settings.mqttPort = mqttPort;
    Ports ports;
    ports.mainLoop = &loop;
    ports.clock = &clock;
    ports.notifications = &notifications;
    ports.device = &device;
    ports.deviceState = &deviceState;
    ports.audioPlayer = &audio;
    ports.keychain = &keychain;
    ports.userDefaults = &defaults;
    ports.directories = &directories;
    ports.settings = &settings;
    Ports::install(ports);
  }
  ~BenchPorts() { Ports::install(Ports{}); }
  BenchPorts(const BenchPorts&) = delete;
  BenchPorts& operator=(const BenchPorts&) = delete;

  // Adds a port (the process table of a benchmark, say) to the installed set.
  template <class Setter>
  void extend(Setter setter) {
    Ports ports = Ports::current();
    setter(ports);
    Ports::install(ports);
  }

  PlainMainLoop loop;
  NotificationCenter notifications;
  FakeDeviceFacts device;
  FakeDeviceState deviceState;
  FakeAudioPlayer audio;
  MemoryKeychain keychain;
  MemoryUserDefaults defaults;
  DataDirectories directories;
  DeploymentSettings settings;
};

}  // namespace twig::bench
