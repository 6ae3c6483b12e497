#include "app/ScreenCatalog.h"

#include "app/Agent.h"
#include "control/LockScreen.h"
#include "frame/RouteNames.h"
#include "identity/BindingScreen.h"
#include "identity/InstallScreen.h"
#include "platform/Ports.h"
#include "screens/AboutScreen.h"
#include "screens/HomeScreen.h"
#include "screens/LicenceScreen.h"
#include "screens/NoNetworkScreen.h"
#include "wallet/ExchangeScreen.h"
#include "wallet/HouseworkScreen.h"
#include "wallet/SpecialRewardScreen.h"
#include "wallet/WalletScreen.h"

namespace twig {

void ScreenCatalog::registerAll(Agent& agent) {
  auto& registry = agent.screens();
  registry.add(routes::kHome, [&agent] {
    // An unbinding reaches the page on the main loop, where the manager is made if need be.
    HomeScreen::Hooks hooks;
    hooks.eraseStoredState = [&agent] { agent.eraseStoredState(); };
    hooks.openApplicationWithTessel = [&agent] { agent.control().openSelf(); };
    hooks.updateManagementTable = [&agent] { agent.control().rebuildMonitoringTable(); };
    hooks.screenInUse = [&agent] {
      return agent.control().screenStatus() == AppControlManager::kScreenInUse;
    };
    return std::make_shared<HomeScreen>(agent.walletContext(), std::move(hooks));
  });
  registry.add(routes::kInstall, [&agent] { return std::make_shared<InstallScreen>(agent.services()); });
  registry.add(routes::kLogin, [&agent] {
    return std::make_shared<BindingScreen>(agent.services(), agent.child(), [&agent] { agent.didBind(); });
  });
  registry.add(routes::kLicence, [] { return std::make_shared<LicenceScreen>(); });
  registry.add(routes::kAbout, [&agent] { return std::make_shared<AboutScreen>(agent.ports().device); });
  registry.add(routes::kWallet, [&agent] { return std::make_shared<WalletScreen>(agent.walletContext()); });
  registry.add(routes::kHousework,
               [&agent] { return std::make_shared<HouseworkScreen>(agent.walletContext()); });
  registry.add(routes::kExchange,
               [&agent] { return std::make_shared<ExchangeScreen>(agent.walletContext()); });
  registry.add(routes::kSpecialReward,
               [&agent] { return std::make_shared<SpecialRewardScreen>(agent.walletContext()); });
  registry.add(routes::kLock, [&agent] {
    return std::make_shared<LockScreen>(agent.services(), agent.controlEvents(), agent.remoteEvents());
  });
  registry.add(routes::kNoNetwork, [] { return std::make_shared<NoNetworkScreen>(); });
}

}  // namespace twig
