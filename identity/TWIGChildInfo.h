#pragma once

#include <optional>
#include <string>

#include "api/TWIGBaseModel.h"

namespace twig {

// This device's identity towards the service and the parent it is bound to. Stored whole in the
// object cache under "child_InfoKey".
class TWIGChildInfo final : public TWIGBaseModel {
 public:
  static constexpr const char* kCacheKey = "child_InfoKey";
  static constexpr const char* kKeychainService = "com.orvane.tessel.children";
  static constexpr const char* kKeychainAccount = "UUID";

  std::optional<std::string> child_apnsToken = "";
  std::optional<std::string> child_childDeviceId = "";
  std::optional<std::string> child_parentsDeviceId = "";
  std::optional<std::string> child_parentDN = "";

  // The stored record; without one, a new record (not stored by this call) whose device id is the
  // keychain's identifier, made from the vendor identifier on first use.
  static TWIGChildInfo child_fetchInfo();
  static void child_saveInfo(const TWIGChildInfo& info);
  // The keychain's device identifier: when it holds none (or cannot be read), the MD5 of the vendor
  // identifier, written to the keychain at once and never changed afterwards.
  static std::string keychainDeviceIdentifier();

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
