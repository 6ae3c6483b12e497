#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "api/Model.h"

namespace twig {

class ChildIdentity;
class DeviceFacts;

// The body of the enrolment request: this device as the service gets to know it.
class EnrolmentBody final : public Model {
 public:
  // Typed in both fields of the binding screen, it binds without a parent when the service refuses
  // it; a service must never hand it out as a real binding code.
  static constexpr const char* kDemoCode = "739208";

  std::optional<std::string> platform;  // "3" on a tablet, "2" otherwise
  std::optional<std::string> enrollCode;
  std::optional<std::string> deviceId;
  std::int64_t clientType = 2;
  std::optional<std::string> deviceName;
  std::optional<std::string> token;

  // The JSON body for a binding code.
  static Json initWithEnrollCode(const std::string& enrollCode, const ChildIdentity& user,
                                 DeviceFacts& device);

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
