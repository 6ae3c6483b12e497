#include "app/ScreenCatalog.h"

#include "app/AgentServices.h"
#include "control/LockScreen.h"
#include "control/AppControlManager.h"
#include "frame/ScreenRegistry.h"
#include "identity/InstallScreen.h"
#include "identity/BindingScreen.h"
#include "screens/AboutScreen.h"
#include "screens/HomeScreen.h"
#include "screens/NoNetworkScreen.h"
#include "screens/LicenceScreen.h"
#include "wallet/WalletScreen.h"
#include "wallet/ExchangeScreen.h"
#include "wallet/HouseworkScreen.h"
#include "wallet/SpecialRewardScreen.h"

namespace twig {

void ScreenCatalog::registerAll(ScreenRegistry& registry) {
  registry.add("HomePage", "HomePageID", [] {
    // The manager is made on first use, on the main loop, where an unbinding reaches the page.
    HomeScreen::Services services;
    services.openApplicationWithTessel = [] {
      AppControlManager::sharedManagement().openSelf();
    };
    services.updateManagementTable = [] { AppControlManager::sharedManagement().rebuildMonitoringTable(); };
    services.screenInUse = [] {
      return AppControlManager::sharedManagement().screenStatus() == AppControlManager::kScreenInUse;
    };
    return std::make_shared<HomeScreen>(std::move(services));
  });
  registry.add("Install", "InstallID", [] { return std::make_shared<InstallScreen>(); });
  registry.add("Login", "LoginID",
               [] { return std::make_shared<BindingScreen>(AgentServices::didBind); });
  registry.add("Setting", "ClicenseAgreementID",
               [] { return std::make_shared<LicenceScreen>(); });
  registry.add("Setting", "AboutID", [] { return std::make_shared<AboutScreen>(); });
  registry.add("QianBao", "QianBaoID", [] { return std::make_shared<WalletScreen>(); });
  registry.add("GanJiaWu", "GanJiaWuID", [] { return std::make_shared<HouseworkScreen>(); });
  registry.add("DuiHuan", "DuiHuanID", [] { return std::make_shared<ExchangeScreen>(); });
  registry.add("JiangLi", "JiangLiID", [] { return std::make_shared<SpecialRewardScreen>(); });
  registry.add("Lock", "LockID", [] { return std::make_shared<LockScreen>(); });
  registry.add("NotNetWork", "NotNetWorkViewControllerID",
               [] { return std::make_shared<NoNetworkScreen>(); });
}

}  // namespace twig
