#include "app/ScreenCatalog.h"

#include "app/Agent.h"
#include "control/LockScreen.h"
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
  registry.add("HomePage", "HomePageID", [&agent] {
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
  registry.add("Install", "InstallID",
               [&agent] { return std::make_shared<InstallScreen>(agent.services()); });
  registry.add("Login", "LoginID", [&agent] {
    return std::make_shared<BindingScreen>(agent.services(), agent.child(), [&agent] { agent.didBind(); });
  });
  registry.add("Setting", "ClicenseAgreementID", [] { return std::make_shared<LicenceScreen>(); });
  registry.add("Setting", "AboutID",
               [&agent] { return std::make_shared<AboutScreen>(agent.ports().device); });
  registry.add("QianBao", "QianBaoID",
               [&agent] { return std::make_shared<WalletScreen>(agent.walletContext()); });
  registry.add("GanJiaWu", "GanJiaWuID",
               [&agent] { return std::make_shared<HouseworkScreen>(agent.walletContext()); });
  registry.add("DuiHuan", "DuiHuanID",
               [&agent] { return std::make_shared<ExchangeScreen>(agent.walletContext()); });
  registry.add("JiangLi", "JiangLiID",
               [&agent] { return std::make_shared<SpecialRewardScreen>(agent.walletContext()); });
  registry.add("Lock", "LockID", [&agent] {
    return std::make_shared<LockScreen>(agent.services(), agent.controlEvents(), agent.remoteEvents());
  });
  registry.add("NotNetWork", "NotNetWorkViewControllerID",
               [] { return std::make_shared<NoNetworkScreen>(); });
}

}  // namespace twig
