#include "app/SharedObjects.h"

#include "api/TWIGRequest.h"
#include "identity/TWIGChildUser.h"
#include "storage/OAKCache.h"

namespace twig {

void SharedObjects::shutdown() {
  TWIGChildUser::resetShared();
  TWIGRequest::resetShared();
  OAKCache::resetShared();
}

}  // namespace twig
