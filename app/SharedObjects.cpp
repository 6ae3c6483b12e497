#include "app/SharedObjects.h"

#include "api/TWIGRequest.h"
#include "identity/TWIGChildUser.h"
#include "messaging/TWIGMQTTClient.h"
#include "storage/OAKCache.h"

namespace twig {

void SharedObjects::shutdown() {
  TWIGMQTTClient::resetShared();
  TWIGChildUser::resetShared();
  TWIGRequest::resetShared();
  OAKCache::resetShared();
}

}  // namespace twig
