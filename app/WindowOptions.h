#pragma once

#include <optional>
#include <string>

#include "platform/DeploymentSettings.h"

namespace twig {

// What the window needs from the command line. Shared by the program and the separately loaded
// window module, so a change of this layout must change kWindowModuleInterface.
struct WindowOptions {
  DeploymentSettings settings;
  std::optional<std::string> installedAppsFile;
  std::optional<std::string> picturesFolder;
  bool enforceClose = false;
  int warnBeforeMinutes = 5;
  int width = 390;
  int height = 844;
};

// The version of the functions the window module offers (see WindowModule); a module of another
// version is refused rather than called with a layout it does not know.
inline constexpr int kWindowModuleInterface = 1;

}  // namespace twig
