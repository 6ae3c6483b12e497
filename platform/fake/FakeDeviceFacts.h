#pragma once

#include <mutex>

#include "platform/DeviceFacts.h"

namespace twig {

// Device facts that a test sets field by field.
class FakeDeviceFacts final : public DeviceFacts {
 public:
  struct Values {
    std::string vendorIdentifier = "6F9619FF-8B86-4D11-B42D-00C04FC964FF";
    std::string advertisingIdentifier = "00000000-1111-4222-8333-444444444444";
    std::string deviceName = "Test Phone";
    InterfaceIdiom idiom = InterfaceIdiom::Phone;
    std::string shortVersion = "1.0.0";
    std::string bundleIdentifier = "com.orvane.tessel.children";
    double screenHeightPoints = 667;
    std::string processName = "twig-test";
  };

  FakeDeviceFacts() = default;
  explicit FakeDeviceFacts(Values values) : values_(std::move(values)) {}

  void set(Values values);
  Values values() const;

  std::string vendorIdentifier() override { return values().vendorIdentifier; }
  std::string advertisingIdentifier() override { return values().advertisingIdentifier; }
  std::string deviceName() override { return values().deviceName; }
  InterfaceIdiom interfaceIdiom() override { return values().idiom; }
  std::string shortVersion() override { return values().shortVersion; }
  std::string bundleIdentifier() override { return values().bundleIdentifier; }
  double screenHeightPoints() override { return values().screenHeightPoints; }
  std::string processName() override { return values().processName; }

 private:
  mutable std::mutex mutex_;
  Values values_;
};

}  // namespace twig
