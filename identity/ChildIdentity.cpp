#include "identity/ChildIdentity.h"

#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

ChildIdentity::ChildIdentity(ObjectCache& cache, Keychain& keychain, DeviceFacts& device)
    : cache_(cache), childInfo_(ChildInfo::load(cache, keychain, device)) {}

ChildInfo ChildIdentity::childInfo() const {
  std::lock_guard lock(mutex_);
  return childInfo_;
}

void ChildIdentity::updateChildInfo(const std::function<void(ChildInfo&)>& change) {
  std::lock_guard lock(mutex_);
  change(childInfo_);
  ChildInfo::save(cache_, childInfo_);
}

std::string ChildIdentity::deviceId() const {
  return childInfo().deviceId.value_or("");
}

std::string ChildIdentity::parentDeviceId() const {
  return childInfo().parentDeviceId.value_or("");
}

std::string ChildIdentity::parentDN() const {
  return childInfo().parentDN.value_or("");
}

std::string ChildIdentity::pushToken() const {
  return childInfo().pushToken.value_or("");
}

bool ChildIdentity::isBound() const {
  return cache_.boolForKey(stored::kBinding);
}

void ChildIdentity::setBound(bool bound) {
  cache_.setBool(bound, stored::kBinding);
}

std::optional<std::int64_t> ChildIdentity::billsNumber() const {
  const auto value = cache_.objectForKey(stored::kNewBills);
  return value ? value->integerValue() : std::nullopt;
}

}  // namespace twig
