#pragma once

#include <optional>
#include <string>

#include "platform/DeploymentSettings.h"

namespace twig {

// The agent without a window: the core on the plain main loop with the console screen host, which
// prints what the screens would show. Runs until SIGINT or SIGTERM.
class HeadlessAgent {
 public:
  struct Options {
    DeploymentSettings settings;
    // Typed into both fields of the binding screen, with the agreement ticked and confirmed, when
    // that screen appears.
    std::optional<std::string> enrollCode;
    // A JSON file listing the installed applications (the machine has no application store).
    std::optional<std::string> installedAppsFile;
    // The photo library's folder instead of the user's pictures folder.
    std::optional<std::string> picturesFolder;
    // Close offending programs a minute after the lock screen's first warning.
    bool enforceClose = false;
    int warnBeforeMinutes = 5;
  };

  // Returns the process's exit code.
  static int run(const Options& options);
};

}  // namespace twig
