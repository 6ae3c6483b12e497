#pragma once

#include <optional>
#include <string>

#include "platform/DeploymentSettings.h"

namespace twig {

// The agent with its window: the core on Qt's event loop, every screen drawn in Qt Quick, the lock
// screen over the whole desktop. Runs until the window closes, SIGINT or SIGTERM.
class WindowedAgent {
 public:
  struct Options {
    DeploymentSettings settings;
    std::optional<std::string> installedAppsFile;
    std::optional<std::string> picturesFolder;
    bool enforceClose = false;
    int warnBeforeMinutes = 5;
    int width = 390;
    int height = 844;
  };

  // Whether a window can be opened here: a Wayland or X11 display is named in the environment.
  static bool displayAvailable();
  static int run(int argc, char** argv, const Options& options);
  // Draws every screen in its main states offscreen into `folder` as PNG files.
  static int screenshots(int argc, char** argv, const std::string& folder, int width, int height);
};

}  // namespace twig
