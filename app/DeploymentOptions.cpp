#include "app/DeploymentOptions.h"

#include <CLI/CLI.hpp>

namespace twig {

void DeploymentOptions::add(CLI::App& app, DeploymentOverrides& overrides) {
  app.add_option("--service-host", overrides.serviceHost,
                 "Service host [https://]HOST[:PORT] of the HTTP API and the broker; https:// for TLS "
                 "(env TWIG_SERVICE_HOST)");
  app.add_option("--mqtt-port", overrides.mqttPort,
                 "Broker port; 8883 with --mqtt-tls, else 1883 (env TWIG_MQTT_PORT)");
  app.add_flag_callback(
      "--mqtt-tls", [&overrides] { overrides.mqttTls = "1"; },
      "Speak to the broker over TLS, checking its certificate against the system's authorities (or "
      "--ca-file) "
      "(env TWIG_MQTT_TLS=1)");
  app.add_option("--ca-file", overrides.caFile,
                 "PEM file of the certificate authorities trusted instead of the system's, for https and the "
                 "broker's TLS (env TWIG_CA_FILE)");
  app.add_option("--data-dir", overrides.dataDir,
                 "Folder that holds every file the agent writes (env TWIG_DATA_DIR)");
  app.add_option(
      "--keychain", overrides.keychain,
      "Where the device's identifier is kept: 'session' (the desktop keyring when one is running, "
      "mirrored in the data folder; the default) or 'file' (the data folder only) (env TWIG_KEYCHAIN)");
}

}  // namespace twig
