#include "identity/ChildInfo.h"

#include "api/Digest.h"
#include "platform/DeviceFacts.h"
#include "platform/Keychain.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"

namespace twig {

const ModelClass& ChildInfo::staticModelClass() {
  using M = ChildInfo;
  static const ModelClass modelClass(stored::kChildInfoClass,
                                     {
                                         textField("child_apnsToken", &M::pushToken),
                                         textField("child_childDeviceId", &M::deviceId),
                                         textField("child_parentsDeviceId", &M::parentDeviceId),
                                         textField("child_parentDN", &M::parentDN),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

std::string ChildInfo::keychainDeviceIdentifier(Keychain& keychain, DeviceFacts& device) {
  if (auto stored = keychain.read(stored::kKeychainService, stored::kKeychainAccount);
      stored && !stored->empty())
    return *stored;
  const std::string identifier = Digest::MD5(device.vendorIdentifier());
  // A failed write goes unnoticed here: the identifier still serves this record, and once the
  // record is stored later launches find it there.
  keychain.write(stored::kKeychainService, stored::kKeychainAccount, identifier);
  return identifier;
}

ChildInfo ChildInfo::load(ObjectCache& cache, Keychain& keychain, DeviceFacts& device) {
  if (auto stored = cache.modelForKey<ChildInfo>(stored::kChildInfo)) return *stored;
  ChildInfo fresh;
  fresh.deviceId = keychainDeviceIdentifier(keychain, device);
  return fresh;
}

void ChildInfo::save(ObjectCache& cache, const ChildInfo& info) {
  cache.setObjectValue(CacheObject::model(info), stored::kChildInfo);
}

}  // namespace twig
