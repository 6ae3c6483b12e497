#pragma once

#include <filesystem>
#include <mutex>
#include <optional>

#include "platform/DeviceFacts.h"

namespace twig {

// Device facts of a Linux machine. The vendor identifier lives in the application's own data (a
// reinstall gives a new one, as on phones); the advertising identifier lives in a device folder
// beside it and outlives reinstalls.
class LinuxDeviceFacts final : public DeviceFacts {
 public:
  struct Options {
    std::filesystem::path applicationFolder;
    std::filesystem::path deviceFolder;
    InterfaceIdiom idiom = InterfaceIdiom::Phone;
    double screenHeightPoints = 667;
    std::string bundleIdentifier = "com.orvane.tessel.children";
    std::string shortVersion;  // empty: the build's version
  };

  explicit LinuxDeviceFacts(Options options);
  std::string vendorIdentifier() override;
  std::string advertisingIdentifier() override;
  std::string deviceName() override;
  InterfaceIdiom interfaceIdiom() override { return options_.idiom; }
  std::string shortVersion() override { return options_.shortVersion; }
  std::string bundleIdentifier() override { return options_.bundleIdentifier; }
  double screenHeightPoints() override { return options_.screenHeightPoints; }
  std::string processName() override;

 private:
  std::string storedIdentifier(const std::filesystem::path& file, std::optional<std::string>& cached);
  Options options_;
  std::mutex mutex_;
  std::optional<std::string> vendor_;
  std::optional<std::string> advertising_;
};

}  // namespace twig
