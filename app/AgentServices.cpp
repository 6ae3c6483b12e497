#include "app/AgentServices.h"

#include "control/AppControl.h"
#include "identity/ChildUser.h"
#include "messaging/PushChannel.h"

namespace twig {

namespace {
AgentServices installed;
}  // namespace

void AgentServices::install(const AgentServices& services) {
  installed = services;
}
const AgentServices& AgentServices::current() {
  return installed;
}
AppControl* AgentServices::control() {
  return installed.appControl ? installed.appControl() : nullptr;
}
void AgentServices::didBind() {
  if (auto* appControl = control()) appControl->start();
  if (installed.pushChannel != nullptr) {
    // A new parent makes the channel connect again with its will, and that connection announces
    // the device online; otherwise it is announced here.
    if (!installed.pushChannel->setParentDN(ChildUser::sharedChildUser().parentDN()))
      installed.pushChannel->setMqttEventOnline();
  }
}

}  // namespace twig
