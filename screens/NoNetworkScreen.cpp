#include "screens/NoNetworkScreen.h"

#include "frame/ScreenHost.h"

namespace twig {

const StateShape& NoNetworkScreen::stateShape() {
  static const StateShape shape{};
  return shape;
}

NoNetworkScreen::NoNetworkScreen() : ViewModel("NoNetworkScreen", stateShape()) {
  addAction("back", [this](const Json&) { back(); });
}

void NoNetworkScreen::back() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->dismiss(true);
}

}  // namespace twig
