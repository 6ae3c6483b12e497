#include "app/DeploymentOptions.h"

#include <CLI/CLI.hpp>

namespace twig {

void DeploymentOptions::add(CLI::App& app, DeploymentOverrides& overrides) {
  app.add_option("--service-host", overrides.serviceHost,
                 "Service host HOST[:PORT] of the HTTP API and the broker (env TWIG_SERVICE_HOST)");
  app.add_option("--mqtt-port", overrides.mqttPort, "Broker port (env TWIG_MQTT_PORT)");
  app.add_option("--data-dir", overrides.dataDir,
                 "Folder that holds every file the agent writes (env TWIG_DATA_DIR)");
}

}  // namespace twig
