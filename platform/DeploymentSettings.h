#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace twig {

// Where this deployment's service, broker and data live. Built-in defaults come from the build;
// flags and environment variables override them for development and tests.
struct DeploymentSettings {
  std::string serviceHost;  // HOST[:PORT] of the HTTP API; the broker runs on the same host
  bool serviceTls = false;  // https: the service host was given as https://HOST[:PORT]
  std::uint16_t mqttPort = 1883;
  bool mqttTls = false;
  // Certificates (PEM) trusted instead of the system's for https and the broker's TLS: a private
  // deployment's own authority. Empty: the system's store.
  std::filesystem::path caFile;
  std::filesystem::path dataRoot;
  std::string installManifestUrl;   // manifest of this application (new-version alert)
  std::string launcherManifestUrl;  // manifest of the child launcher (installation screen)
  // The device's identifier also goes into the desktop session's keyring when one is running;
  // false keeps it in the data folder's own keychain alone (tests, several agents side by side).
  bool sessionKeyring = true;

  // "http://HOST[:PORT]" or "https://HOST[:PORT]".
  std::string serviceOrigin() const;
  // The origin and "/api/v2.0".
  std::string baseAddress() const;
  // The host alone, without port or IPv6 brackets (what the broker connection needs).
  std::string serviceHostName() const;
  // The application's own data (caches, documents, preferences): a reinstall removes this folder.
  std::filesystem::path applicationFolder() const { return dataRoot / "app"; }
  // Survive a reinstall.
  std::filesystem::path keychainFolder() const { return dataRoot / "keychain"; }
  std::filesystem::path deviceFolder() const { return dataRoot / "device"; }
};

// Values given on the command line; absent ones fall back to the environment, then to the build.
struct DeploymentOverrides {
  std::optional<std::string> serviceHost;
  std::optional<std::string> mqttPort;
  std::optional<std::string> dataDir;
  std::optional<std::string> keychain;  // "session" or "file"
  std::optional<std::string> mqttTls;   // "1", "true", "yes", "on" or "0", "false", "no", "off"
  std::optional<std::string> caFile;
};

struct DeploymentResolution {
  std::optional<DeploymentSettings> settings;
  std::string error;  // set when settings is absent
};

class DeploymentSettingsResolver {
 public:
  using Environment = std::function<std::optional<std::string>(const char* name)>;
  // Reads TWIG_SERVICE_HOST, TWIG_MQTT_PORT, TWIG_MQTT_TLS, TWIG_CA_FILE, TWIG_DATA_DIR, TWIG_KEYCHAIN
  // (and HOME, XDG_DATA_HOME for the default data root) through `environment`.
  static DeploymentResolution resolve(const DeploymentOverrides& flags, const Environment& environment);
  static DeploymentResolution resolveFromProcess(const DeploymentOverrides& flags);
  // An explanation when `host` is not [http://|https://]HOST[:PORT]; nothing when it is.
  static std::optional<std::string> checkServiceHost(std::string_view host);
  static std::optional<std::uint16_t> parsePort(std::string_view text);
};

}  // namespace twig
