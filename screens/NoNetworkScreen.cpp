#include "screens/NoNetworkScreen.h"

#include "frame/ScreenHost.h"

namespace twig {

NoNetworkScreen::NoNetworkScreen() : ViewModel("NoNetworkScreen") {
  addAction("back", [this](const Json&) { back(); });
}

void NoNetworkScreen::back() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->dismiss(true);
}

}  // namespace twig
