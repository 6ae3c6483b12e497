#include "app/SharedObjects.h"

#include "api/TWIGRequest.h"
#include "control/TWIGManagement.h"
#include "identity/TWIGChildUser.h"
#include "messaging/TWIGMQTTClient.h"
#include "storage/OAKCache.h"

namespace twig {

void SharedObjects::shutdown() {
  // First the threads that call into the shared objects: the channel's network thread (commands and
  // their answers), then the location reports that answer through the child user and the channel.
  TWIGMQTTClient::stopShared();
  TWIGChildUser::stopShared();
  TWIGMQTTClient::resetShared();
  TWIGManagement::resetShared();
  TWIGChildUser::resetShared();
  TWIGRequest::resetShared();
  OAKCache::resetShared();
}

}  // namespace twig
