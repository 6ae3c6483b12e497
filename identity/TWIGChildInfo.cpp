#include "identity/TWIGChildInfo.h"

#include "api/TWIGDigest.h"
#include "platform/DeviceFacts.h"
#include "platform/Keychain.h"
#include "platform/Ports.h"
#include "storage/TWIGCache.h"

namespace twig {

const ModelClass& TWIGChildInfo::staticModelClass() {
  using M = TWIGChildInfo;
  static const ModelClass modelClass("TWIGChildInfo",
                                     {
                                         textField("child_apnsToken", &M::child_apnsToken),
                                         textField("child_childDeviceId", &M::child_childDeviceId),
                                         textField("child_parentsDeviceId", &M::child_parentsDeviceId),
                                         textField("child_parentDN", &M::child_parentDN),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

std::string TWIGChildInfo::keychainDeviceIdentifier() {
  auto& keychain = port::keychain();
  if (auto stored = keychain.read(kKeychainService, kKeychainAccount); stored && !stored->empty())
    return *stored;
  const std::string identifier = TWIGDigest::MD5(port::device().vendorIdentifier());
  // A failed write goes unnoticed here: the identifier still serves this record, and once the
  // record is stored later launches find it there.
  keychain.write(kKeychainService, kKeychainAccount, identifier);
  return identifier;
}

TWIGChildInfo TWIGChildInfo::child_fetchInfo() {
  if (auto stored = TWIGCache::modelForKey<TWIGChildInfo>(kCacheKey)) return *stored;
  TWIGChildInfo fresh;
  fresh.child_childDeviceId = keychainDeviceIdentifier();
  return fresh;
}

void TWIGChildInfo::child_saveInfo(const TWIGChildInfo& info) {
  TWIGCache::setObjectValue(CacheObject::model(info), kCacheKey);
}

}  // namespace twig
