#include "app/DeploymentOptions.h"

#include <CLI/CLI.hpp>

namespace twig {

void DeploymentOptions::add(CLI::App& app, DeploymentOverrides& overrides) {
  app.add_option("--service-host", overrides.serviceHost,
                 "Service host HOST[:PORT] of the HTTP API and the broker (env TWIG_SERVICE_HOST)");
  app.add_option("--mqtt-port", overrides.mqttPort, "Broker port (env TWIG_MQTT_PORT)");
  app.add_option("--data-dir", overrides.dataDir,
                 "Folder that holds every file the agent writes (env TWIG_DATA_DIR)");
  app.add_option(
      "--keychain", overrides.keychain,
      "Where the device's identifier is kept: 'session' (the desktop keyring when one is running, "
      "mirrored in the data folder; the default) or 'file' (the data folder only) (env TWIG_KEYCHAIN)");
}

}  // namespace twig
