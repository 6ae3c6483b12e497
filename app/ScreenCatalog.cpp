#include "app/ScreenCatalog.h"

#include "app/AgentServices.h"
#include "control/TWIGLockViewController.h"
#include "control/TWIGManagement.h"
#include "frame/ScreenRegistry.h"
#include "identity/TWIGInstallViewController.h"
#include "identity/TWIGLoginViewController.h"
#include "screens/TWIGAboutViewController.h"
#include "screens/TWIGHomePageViewController.h"
#include "screens/TWIGNotNetWorkViewController.h"
#include "screens/TWIGlicenseAgreementViewController.h"
#include "wallet/TWIGCiWeiQianBaoTableController.h"
#include "wallet/TWIGDuiHuanShiJianController.h"
#include "wallet/TWIGGanJiaWuViewController.h"
#include "wallet/TWIGSpecialRewardViewController.h"

namespace twig {

void ScreenCatalog::registerAll(ScreenRegistry& registry) {
  registry.add("HomePage", "HomePageID", [] {
    // The manager is made on first use, on the main loop, where an unbinding reaches the page.
    TWIGHomePageViewController::Services services;
    services.openApplicationWithTessel = [] {
      TWIGManagement::sharedManagement().ts_openApplicationWithTessel();
    };
    services.updateManagementTable = [] { TWIGManagement::sharedManagement().ts_updateManagementTable(); };
    services.screenInUse = [] {
      return TWIGManagement::sharedManagement().ts_childScreenStatus() == TWIGManagement::kScreenInUse;
    };
    return std::make_shared<TWIGHomePageViewController>(std::move(services));
  });
  registry.add("Install", "InstallID", [] { return std::make_shared<TWIGInstallViewController>(); });
  registry.add("Login", "LoginID",
               [] { return std::make_shared<TWIGLoginViewController>(AgentServices::didBind); });
  registry.add("Setting", "ClicenseAgreementID",
               [] { return std::make_shared<TWIGlicenseAgreementViewController>(); });
  registry.add("Setting", "AboutID", [] { return std::make_shared<TWIGAboutViewController>(); });
  registry.add("QianBao", "QianBaoID", [] { return std::make_shared<TWIGCiWeiQianBaoTableController>(); });
  registry.add("GanJiaWu", "GanJiaWuID", [] { return std::make_shared<TWIGGanJiaWuViewController>(); });
  registry.add("DuiHuan", "DuiHuanID", [] { return std::make_shared<TWIGDuiHuanShiJianController>(); });
  registry.add("JiangLi", "JiangLiID", [] { return std::make_shared<TWIGSpecialRewardViewController>(); });
  registry.add("Lock", "LockID", [] { return std::make_shared<TWIGLockViewController>(); });
  registry.add("NotNetWork", "NotNetWorkViewControllerID",
               [] { return std::make_shared<TWIGNotNetWorkViewController>(); });
}

}  // namespace twig
