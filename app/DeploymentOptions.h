#pragma once

#include "platform/DeploymentSettings.h"

namespace CLI {
class App;
}

namespace twig {

// The command-line flags that override the deployment settings, shared by the executables.
class DeploymentOptions {
 public:
  static void add(CLI::App& app, DeploymentOverrides& overrides);
};

}  // namespace twig
