#include "app/ScreenCatalog.h"

#include "app/AgentServices.h"
#include "frame/ScreenRegistry.h"
#include "identity/TWIGInstallViewController.h"
#include "identity/TWIGLoginViewController.h"
#include "screens/TWIGHomePageViewController.h"
#include "screens/TWIGNotNetWorkViewController.h"
#include "screens/TWIGlicenseAgreementViewController.h"

namespace twig {

void ScreenCatalog::registerAll(ScreenRegistry& registry) {
  registry.add("HomePage", "HomePageID", [] { return std::make_shared<TWIGHomePageViewController>(); });
  registry.add("Install", "InstallID", [] { return std::make_shared<TWIGInstallViewController>(); });
  registry.add("Login", "LoginID",
               [] { return std::make_shared<TWIGLoginViewController>(AgentServices::didBind); });
  registry.add("Setting", "ClicenseAgreementID",
               [] { return std::make_shared<TWIGlicenseAgreementViewController>(); });
  registry.add("NotNetWork", "NotNetWorkViewControllerID",
               [] { return std::make_shared<TWIGNotNetWorkViewController>(); });
}

}  // namespace twig
