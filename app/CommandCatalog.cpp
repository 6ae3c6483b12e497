#include "app/CommandCatalog.h"

#include "control/TWIGManagement.h"
#include "control/TWIGRequestAppControlGroupChange.h"
#include "control/TWIGRequestApps.h"
#include "control/TWIGRequestAppsOnekeyControl.h"
#include "control/TWIGRequestCheckApp.h"
#include "messaging/CommandRouter.h"
#include "messaging/TWIGEventIconUpload.h"
#include "status/TWIGRequestChildInfo.h"
#include "status/TWIGRequestLocation.h"

namespace twig {

namespace {

template <class Handler>
CommandRouter::Factory made() {
  return [](const CommandContext& context) { return std::make_shared<Handler>(context); };
}

// The app-control manager keeps the screen status and battery; it is made on first use, on the
// main loop, where the handler reads it.
TWIGRequestChildInfo::ChildStatus managerStatus() {
  auto& manager = TWIGManagement::sharedManagement();
  return {manager.ts_childBattery(), manager.ts_childScreenStatus()};
}

}  // namespace

void CommandCatalog::registerAll(CommandRouter& router) {
  router.route("RequestChildInfo", [](const CommandContext& context) {
    return std::make_shared<TWIGRequestChildInfo>(context, managerStatus);
  });
  router.route("RequestLocation", made<TWIGRequestLocation>());
  router.route("RequestApps", made<TWIGRequestApps>());
  router.route("RequestCheckApp", made<TWIGRequestCheckApp>());
  router.route("RequestAppControlGroupChange", made<TWIGRequestAppControlGroupChange>());
  router.route("RequestAppsOnekeyControl", made<TWIGRequestAppsOnekeyControl>());
  router.route("EventIconUpload",
               [](const CommandContext&) { return std::make_shared<TWIGEventIconUpload>(); });
}

}  // namespace twig
