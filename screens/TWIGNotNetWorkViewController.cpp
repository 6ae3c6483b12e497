#include "screens/TWIGNotNetWorkViewController.h"

#include "frame/ScreenHost.h"

namespace twig {

TWIGNotNetWorkViewController::TWIGNotNetWorkViewController()
    : TWIGBaseViewController("TWIGNotNetWorkViewController") {
  addAction("back", [this](const Json&) { back(); });
}

void TWIGNotNetWorkViewController::back() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->dismiss(true);
}

}  // namespace twig
