#include "app/CommandCatalog.h"

#include "control/TWIGManagement.h"
#include "control/TWIGRequestAppControlGroupChange.h"
#include "control/TWIGRequestApps.h"
#include "control/TWIGRequestAppsOnekeyControl.h"
#include "control/TWIGRequestCheckApp.h"
#include "identity/TWIGChildUser.h"
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

// Commands that change what app control watches rebuild the manager's table (made on first use, on
// the main loop, where they call this).
template <class Handler>
CommandRouter::Factory controlling() {
  return [](const CommandContext& context) {
    return std::make_shared<Handler>(context,
                                     [] { TWIGManagement::sharedManagement().ts_updateManagementTable(); });
  };
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
  router.route("RequestLocation", [](const CommandContext& context) {
    return std::make_shared<TWIGRequestLocation>(context, [](auto done) {
      TWIGChildUser::sharedChildUser().fetchChildLocationWithComplete(std::move(done));
    });
  });
  router.route("RequestApps", made<TWIGRequestApps>());
  router.route("RequestCheckApp", controlling<TWIGRequestCheckApp>());
  router.route("RequestAppControlGroupChange", controlling<TWIGRequestAppControlGroupChange>());
  router.route("RequestAppsOnekeyControl", controlling<TWIGRequestAppsOnekeyControl>());
  router.route("EventIconUpload",
               [](const CommandContext&) { return std::make_shared<TWIGEventIconUpload>(); });
}

}  // namespace twig
