#include "app/SharedObjects.h"

#include "api/TWIGRequest.h"
#include "control/TWIGManagement.h"
#include "identity/TWIGChildUser.h"
#include "messaging/TWIGMQTTClient.h"
#include "storage/OAKCache.h"

namespace twig {

void SharedObjects::shutdown() {
  TWIGMQTTClient::resetShared();
  TWIGManagement::resetShared();
  TWIGChildUser::resetShared();
  TWIGRequest::resetShared();
  OAKCache::resetShared();
}

}  // namespace twig
