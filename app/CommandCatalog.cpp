#include "app/CommandCatalog.h"

#include "app/Agent.h"
#include "control/AppsHandler.h"
#include "control/CheckAppHandler.h"
#include "control/GroupChangeHandler.h"
#include "control/OneKeyControlHandler.h"
#include "messaging/IconUploadHandler.h"
#include "messaging/Protocol.h"
#include "platform/Ports.h"
#include "status/ChildInfoHandler.h"
#include "status/LocationHandler.h"
#include "storage/StoredNames.h"

namespace twig {

namespace {

// What a command that touches app control is handed. The manager is made on first use, on the
// main loop, where these handlers rebuild its table.
ControlTools controlTools(Agent& agent, bool rebuilds) {
  ControlTools tools{agent.inventory(), agent.cache(), agent.tables(), nullptr};
  if (rebuilds) tools.rebuildTable = [&agent] { agent.control().rebuildMonitoringTable(); };
  return tools;
}

template <class Handler>
CommandRouter::Factory controlling(Agent& agent, bool rebuilds) {
  return [&agent, rebuilds](const CommandContext& context) {
    return std::make_shared<Handler>(context, controlTools(agent, rebuilds));
  };
}

}  // namespace

void CommandCatalog::registerAll(Agent& agent) {
  auto& router = agent.commands();
  router.route(protocol::kRequestChildInfo, [&agent](const CommandContext& context) {
    // The manager keeps the screen status and battery; the handler reads them on the main loop.
    return std::make_shared<ChildInfoHandler>(context, [&agent]() -> ChildInfoHandler::ChildStatus {
      auto& manager = agent.control();
      return {manager.battery(), manager.screenStatus()};
    });
  });
  router.route(protocol::kRequestLocation, [&agent](const CommandContext& context) {
    return std::make_shared<LocationHandler>(
        context, [&agent](auto done) { agent.location().fetchChildLocationWithComplete(std::move(done)); });
  });
  router.route(protocol::kRequestApps, controlling<AppsHandler>(agent, false));
  router.route(protocol::kRequestCheckApp, controlling<CheckAppHandler>(agent, true));
  router.route(protocol::kRequestAppControlGroupChange, controlling<GroupChangeHandler>(agent, true));
  router.route(protocol::kRequestAppsOnekeyControl, controlling<OneKeyControlHandler>(agent, true));
  router.route(protocol::kEventIconUpload,
               [](const CommandContext&) { return std::make_shared<IconUploadHandler>(); });
  // The parent unbound this device: everything stored goes and the binding screen returns.
  router.routeToCall(protocol::kReset, [&agent](const Command&) { agent.remoteEvents().reset.notify(); });
  // Notices: "bills" marks new bills for the home page and the wallet; other types change nothing.
  router.routeToCall(protocol::kEventNotification, [&agent](const Command& command) {
    const Json& body = command.body();
    const auto type = body.find("type");
    if (type == body.end() || !type->is_string() || type->get<std::string>() != protocol::kNotificationBills)
      return;
    agent.cache().setObjectValue(CacheObject(Json(1)), stored::kNewBills);
    agent.remoteEvents().bills.notify();
  });
  // What a device publishes to its peers when versions differ; one arriving here asks nothing.
  router.routeToCall(protocol::kEventUpgrade, [](const Command&) {});
}

}  // namespace twig
