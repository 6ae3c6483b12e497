#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "identity/ChildInfo.h"

namespace twig {

class DeviceFacts;
class Keychain;
class ObjectCache;

// This computer's identity towards the service and the parent it is bound to: the stored record
// (device id, parent's device and number, push token), the binding flag and the new-bills mark.
// Callable from any thread.
class ChildIdentity {
 public:
  // Loads the stored record, or makes one whose device id is the keychain's identifier.
  ChildIdentity(ObjectCache& cache, Keychain& keychain, DeviceFacts& device);
  ChildIdentity(const ChildIdentity&) = delete;
  ChildIdentity& operator=(const ChildIdentity&) = delete;

  // A copy of the current record.
  ChildInfo childInfo() const;
  // Changes the record and stores it.
  void updateChildInfo(const std::function<void(ChildInfo&)>& change);

  std::string deviceId() const;
  std::string parentDeviceId() const;
  std::string parentDN() const;
  std::string pushToken() const;
  bool isBound() const;
  void setBound(bool bound);
  std::optional<std::int64_t> billsNumber() const;

 private:
  ObjectCache& cache_;
  mutable std::mutex mutex_;
  ChildInfo childInfo_;
};

}  // namespace twig
