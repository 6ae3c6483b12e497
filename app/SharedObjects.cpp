#include "app/SharedObjects.h"

#include "api/ApiClient.h"
#include "control/AppControlManager.h"
#include "identity/ChildUser.h"
#include "messaging/MqttPushChannel.h"
#include "storage/ObjectCache.h"

namespace twig {

void SharedObjects::shutdown() {
  // First the threads that call into the shared objects: the channel's network thread (commands and
  // their answers), then the location reports that answer through the child user and the channel.
  MqttPushChannel::stopShared();
  ChildUser::stopShared();
  MqttPushChannel::resetShared();
  AppControlManager::resetShared();
  ChildUser::resetShared();
  ApiClient::resetShared();
  ObjectCache::resetShared();
}

}  // namespace twig
