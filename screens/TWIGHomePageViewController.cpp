#include "screens/TWIGHomePageViewController.h"

#include "frame/ScreenHost.h"
#include "frame/TWIGRoutingModule.h"
#include "identity/TWIGChildUser.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"

namespace twig {

void TWIGHomePageViewController::viewDidLoad() {
  setTitle("刺猬家");
  setState("navigationBackground", "beijing");
  if (!TWIGChildUser::sharedChildUser().user_isBinding()) {
    // Pushed in the next turn, once this page has finished appearing.
    auto weak = weakSelf<TWIGHomePageViewController>();
    port::mainLoop().post([weak] {
      auto self = weak.lock();
      if (!self || self->host() == nullptr) return;
      if (auto login = TWIGRoutingModule::sharedRouting().fetchLoginController())
        self->host()->push(login, true);
    });
  }
}

}  // namespace twig
