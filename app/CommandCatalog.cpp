#include "app/CommandCatalog.h"

#include "control/AppControlManager.h"
#include "control/GroupChangeHandler.h"
#include "control/AppsHandler.h"
#include "control/OneKeyControlHandler.h"
#include "control/CheckAppHandler.h"
#include "identity/ChildUser.h"
#include "messaging/CommandRouter.h"
#include "messaging/IconUploadHandler.h"
#include "status/ChildInfoHandler.h"
#include "status/LocationHandler.h"

namespace twig {

namespace {

template <class Handler>
CommandRouter::Factory made() {
  return [](const CommandContext& context) { return std::make_shared<Handler>(context); };
}

// Commands that change what app control watches rebuild the manager's table (made on first use, on
// the main loop, where they call this).
template <class Handler>
CommandRouter::Factory controlling() {
  return [](const CommandContext& context) {
    return std::make_shared<Handler>(context,
                                     [] { AppControlManager::sharedManagement().rebuildMonitoringTable(); });
  };
}

// The app-control manager keeps the screen status and battery; it is made on first use, on the
// main loop, where the handler reads it.
ChildInfoHandler::ChildStatus managerStatus() {
  auto& manager = AppControlManager::sharedManagement();
  return {manager.battery(), manager.screenStatus()};
}

}  // namespace

void CommandCatalog::registerAll(CommandRouter& router) {
  router.route("RequestChildInfo", [](const CommandContext& context) {
    return std::make_shared<ChildInfoHandler>(context, managerStatus);
  });
  router.route("RequestLocation", [](const CommandContext& context) {
    return std::make_shared<LocationHandler>(context, [](auto done) {
      ChildUser::sharedChildUser().fetchChildLocationWithComplete(std::move(done));
    });
  });
  router.route("RequestApps", made<AppsHandler>());
  router.route("RequestCheckApp", controlling<CheckAppHandler>());
  router.route("RequestAppControlGroupChange", controlling<GroupChangeHandler>());
  router.route("RequestAppsOnekeyControl", controlling<OneKeyControlHandler>());
  router.route("EventIconUpload",
               [](const CommandContext&) { return std::make_shared<IconUploadHandler>(); });
}

}  // namespace twig
