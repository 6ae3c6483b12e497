#include "screens/ScreenShapes.h"

#include <array>
#include <utility>

#include "control/LockScreen.h"
#include "frame/PlaceholderScreen.h"
#include "identity/BindingScreen.h"
#include "identity/InstallScreen.h"
#include "screens/AboutScreen.h"
#include "screens/HomeScreen.h"
#include "screens/LicenceScreen.h"
#include "screens/NoNetworkScreen.h"
#include "wallet/ExchangeScreen.h"
#include "wallet/HouseworkScreen.h"
#include "wallet/PhotoDetailScreen.h"
#include "wallet/PhotoPickerScreen.h"
#include "wallet/PhotoViewerScreen.h"
#include "wallet/SpecialRewardScreen.h"
#include "wallet/WalletScreen.h"

namespace twig {

const StateShape* screenShapeOf(std::string_view className) {
  static const std::array<std::pair<std::string_view, const StateShape& (*)()>, 15> shapes{{
      {"Placeholder", &PlaceholderScreen::stateShape},
      {"BindingScreen", &BindingScreen::stateShape},
      {"InstallScreen", &InstallScreen::stateShape},
      {"HomeScreen", &HomeScreen::stateShape},
      {"AboutScreen", &AboutScreen::stateShape},
      {"LicenceScreen", &LicenceScreen::stateShape},
      {"NoNetworkScreen", &NoNetworkScreen::stateShape},
      {"LockScreen", &LockScreen::stateShape},
      {"WalletScreen", &WalletScreen::stateShape},
      {"HouseworkScreen", &HouseworkScreen::stateShape},
      {"ExchangeScreen", &ExchangeScreen::stateShape},
      {"SpecialRewardScreen", &SpecialRewardScreen::stateShape},
      {"PhotoPickerScreen", &PhotoPickerScreen::stateShape},
      {"PhotoDetailScreen", &PhotoDetailScreen::stateShape},
      {"PhotoViewerScreen", &PhotoViewerScreen::stateShape},
  }};
  for (const auto& [name, shape] : shapes)
    if (name == className) return &shape();
  return nullptr;
}

}  // namespace twig
