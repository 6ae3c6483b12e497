#include "app/AgentWiring.h"

#include "app/AgentServices.h"
#include "app/CommandCatalog.h"
#include "app/ScreenCatalog.h"
#include "app/SharedObjects.h"
#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "control/AppControlManager.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "messaging/CommandRouter.h"
#include "messaging/MqttPushChannel.h"
#include "platform/Ports.h"
#include "storage/Cache.h"

namespace twig {

AgentWiring::AgentWiring(const Ports& ports, ScreenHost& host) {
  Ports::install(ports);
  ScreenHost::install(&host);
  AgentServices services;
  services.pushChannel = &MqttPushChannel::sharedMQTTClient();
  services.appControl = [] { return static_cast<AppControl*>(&AppControlManager::sharedManagement()); };
  AgentServices::install(services);
  ScreenCatalog::registerAll(ScreenRegistry::shared());
  CommandCatalog::registerAll(CommandRouter::shared());
  Cache::setTablesToEmptyOnReset(
      {std::make_shared<ControlGroupRecord>(), std::make_shared<AppRecord>()});
}

AgentWiring::~AgentWiring() {
  AgentServices::install({});
  SharedObjects::shutdown();
  ScreenHost::install(nullptr);
}

}  // namespace twig
