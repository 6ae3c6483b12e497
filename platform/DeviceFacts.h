#pragma once

#include <string>

namespace twig {

enum class InterfaceIdiom { Phone = 0, Pad = 1 };

// What the agent knows about the device it runs on.
class DeviceFacts {
 public:
  virtual ~DeviceFacts() = default;
  // Canonical upper-case UUID text. Stable for this installation; a reinstall may change it.
  virtual std::string vendorIdentifier() = 0;
  // Canonical upper-case UUID text.
  virtual std::string advertisingIdentifier() = 0;
  virtual std::string deviceName() = 0;
  virtual InterfaceIdiom interfaceIdiom() = 0;
  virtual std::string shortVersion() = 0;
  virtual std::string bundleIdentifier() = 0;
  virtual double screenHeightPoints() = 0;
  virtual std::string processName() = 0;
};

}  // namespace twig
