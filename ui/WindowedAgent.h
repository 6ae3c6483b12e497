#pragma once

#include <string>

#include "app/WindowOptions.h"

namespace twig {

// The agent with its window: the core on Qt's event loop, every screen drawn in Qt Quick, the lock
// screen over the whole desktop. Runs until the window closes, SIGINT or SIGTERM.
class WindowedAgent {
 public:
  using Options = WindowOptions;

  static int run(int argc, char** argv, const Options& options);
  // Draws every screen in its main states offscreen into `folder` as PNG files.
  static int screenshots(int argc, char** argv, const std::string& folder, int width, int height);
};

}  // namespace twig
