#include "app/AgentWiring.h"

#include "app/AgentServices.h"
#include "app/CommandCatalog.h"
#include "app/ScreenCatalog.h"
#include "app/SharedObjects.h"
#include "control/TWGIAppsModel.h"
#include "control/TWIGAppControlGroupModel.h"
#include "control/TWIGManagement.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "messaging/CommandRouter.h"
#include "messaging/TWIGMQTTClient.h"
#include "platform/Ports.h"
#include "storage/TWIGCache.h"

namespace twig {

AgentWiring::AgentWiring(const Ports& ports, ScreenHost& host) {
  Ports::install(ports);
  ScreenHost::install(&host);
  AgentServices services;
  services.pushChannel = &TWIGMQTTClient::sharedMQTTClient();
  services.appControl = [] { return static_cast<AppControl*>(&TWIGManagement::sharedManagement()); };
  AgentServices::install(services);
  ScreenCatalog::registerAll(ScreenRegistry::shared());
  CommandCatalog::registerAll(CommandRouter::shared());
  TWIGCache::setTablesToEmptyOnReset(
      {std::make_shared<TWIGAppControlGroupModel>(), std::make_shared<TWGIAppsModel>()});
}

AgentWiring::~AgentWiring() {
  AgentServices::install({});
  SharedObjects::shutdown();
  ScreenHost::install(nullptr);
}

}  // namespace twig
