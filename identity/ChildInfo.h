#pragma once

#include <optional>
#include <string>

#include "api/Model.h"

namespace twig {

class DeviceFacts;
class Keychain;
class ObjectCache;

// This device's identity towards the service and the parent it is bound to. Stored whole in the
// object cache under "child_InfoKey".
class ChildInfo final : public Model {
 public:
  std::optional<std::string> pushToken = "";
  std::optional<std::string> deviceId = "";
  std::optional<std::string> parentDeviceId = "";
  std::optional<std::string> parentDN = "";

  // The stored record; without one, a new record (not stored by this call) whose device id is the
  // keychain's identifier, made from the vendor identifier on first use.
  static ChildInfo load(ObjectCache& cache, Keychain& keychain, DeviceFacts& device);
  static void save(ObjectCache& cache, const ChildInfo& info);
  // The keychain's device identifier: when it holds none (or cannot be read), the MD5 of the vendor
  // identifier, written to the keychain at once and never changed afterwards.
  static std::string keychainDeviceIdentifier(Keychain& keychain, DeviceFacts& device);

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
