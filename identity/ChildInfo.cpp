#include "identity/ChildInfo.h"

#include "api/Digest.h"
#include "platform/DeviceFacts.h"
#include "platform/Keychain.h"
#include "platform/Ports.h"
#include "storage/Cache.h"

namespace twig {

const ModelClass& ChildInfo::staticModelClass() {
  using M = ChildInfo;
  static const ModelClass modelClass("TWIGChildInfo",
                                     {
                                         textField("child_apnsToken", &M::pushToken),
                                         textField("child_childDeviceId", &M::deviceId),
                                         textField("child_parentsDeviceId", &M::parentDeviceId),
                                         textField("child_parentDN", &M::parentDN),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

std::string ChildInfo::keychainDeviceIdentifier() {
  auto& keychain = port::keychain();
  if (auto stored = keychain.read(kKeychainService, kKeychainAccount); stored && !stored->empty())
    return *stored;
  const std::string identifier = Digest::MD5(port::device().vendorIdentifier());
  // A failed write goes unnoticed here: the identifier still serves this record, and once the
  // record is stored later launches find it there.
  keychain.write(kKeychainService, kKeychainAccount, identifier);
  return identifier;
}

ChildInfo ChildInfo::load() {
  if (auto stored = Cache::modelForKey<ChildInfo>(kCacheKey)) return *stored;
  ChildInfo fresh;
  fresh.deviceId = keychainDeviceIdentifier();
  return fresh;
}

void ChildInfo::save(const ChildInfo& info) {
  Cache::setObjectValue(CacheObject::model(info), kCacheKey);
}

}  // namespace twig
