#include "platform/DeploymentSettings.h"

#include <cstdlib>
#include <system_error>
#include <utility>

#include "BuildConfig.h"

namespace twig {

namespace {

bool isHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == '_';
}

bool isIpv6Character(char c) {
  return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' || c == '.';
}

// Splits HOST[:PORT] (with [v6] hosts); nothing when malformed.
struct HostAndPort {
  std::string_view host;
  std::optional<std::string_view> port;
};

std::optional<HostAndPort> splitHost(std::string_view text) {
  HostAndPort parts;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    parts.host = text.substr(1, close - 1);
    for (char c : parts.host) {
      if (!isIpv6Character(c)) return std::nullopt;
    }
    const auto rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      parts.port = rest.substr(1);
    }
    return parts;
  }
  const auto colon = text.find(':');
  parts.host = text.substr(0, colon);
  if (colon != std::string_view::npos) parts.port = text.substr(colon + 1);
  if (parts.host.empty()) return std::nullopt;
  for (char c : parts.host) {
    if (!isHostCharacter(c)) return std::nullopt;
  }
  return parts;
}

constexpr std::string_view kHttps = "https://";
constexpr std::string_view kHttp = "http://";

// The host without its scheme, and whether the scheme asks for TLS.
std::pair<std::string_view, bool> withoutScheme(std::string_view text) {
  if (text.starts_with(kHttps)) return {text.substr(kHttps.size()), true};
  if (text.starts_with(kHttp)) return {text.substr(kHttp.size()), false};
  return {text, false};
}

std::optional<bool> parseSwitch(std::string_view text) {
  for (std::string_view yes : {"1", "true", "yes", "on"}) {
    if (text == yes) return true;
  }
  for (std::string_view no : {"0", "false", "no", "off"}) {
    if (text == no) return false;
  }
  return std::nullopt;
}

}  // namespace

std::string DeploymentSettings::serviceOrigin() const {
  return std::string(serviceTls ? kHttps : kHttp) + serviceHost;
}

std::string DeploymentSettings::baseAddress() const {
  return serviceOrigin() + "/api/v2.0";
}

std::string DeploymentSettings::serviceHostName() const {
  const auto parts = splitHost(serviceHost);
  return parts ? std::string(parts->host) : serviceHost;
}

std::optional<std::uint16_t> DeploymentSettingsResolver::parsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::optional<std::string> DeploymentSettingsResolver::checkServiceHost(std::string_view text) {
  const auto host = withoutScheme(text).first;
  if (host.find("://") != std::string_view::npos)
    return "service host '" + std::string(text) + "' names a scheme other than http:// or https://";
  const auto parts = splitHost(host);
  if (!parts) {
    return "service host '" + std::string(text) +
           "' is not [https://]HOST[:PORT] (e.g. 127.0.0.1:8080, [::1]:8080 or https://service.example)";
  }
  if (parts->port && !parsePort(*parts->port)) {
    return "service host '" + std::string(text) + "' has an invalid port (1-65535)";
  }
  return std::nullopt;
}

DeploymentResolution DeploymentSettingsResolver::resolve(const DeploymentOverrides& flags,
                                                         const Environment& environment) {
  auto pick = [&](const std::optional<std::string>& flag, const char* variable,
                  const char* fallback) -> std::string {
    if (flag) return *flag;
    if (auto value = environment(variable); value && !value->empty()) return *value;
    return fallback;
  };

  DeploymentSettings settings;
  const std::string service = pick(flags.serviceHost, "TWIG_SERVICE_HOST", build::kDefaultServiceHost);
  if (auto problem = checkServiceHost(service)) return {std::nullopt, *problem};
  const auto [host, serviceTls] = withoutScheme(service);
  settings.serviceHost = std::string(host);
  settings.serviceTls = serviceTls;

  const std::string tls = pick(flags.mqttTls, "TWIG_MQTT_TLS", "0");
  const auto mqttTls = parseSwitch(tls);
  if (!mqttTls)
    return {std::nullopt,
            "MQTT TLS '" + tls + "' is neither on (1, true, yes, on) nor off (0, false, no, off)"};
  settings.mqttTls = *mqttTls;

  // The broker's TLS port is 8883 unless one is named.
  const std::string port =
      pick(flags.mqttPort, "TWIG_MQTT_PORT", settings.mqttTls ? "8883" : build::kDefaultMqttPort);
  const auto parsedPort = parsePort(port);
  if (!parsedPort) return {std::nullopt, "MQTT port '" + port + "' is not a number from 1 to 65535"};
  settings.mqttPort = *parsedPort;

  std::string dataDir = pick(flags.dataDir, "TWIG_DATA_DIR", build::kDefaultDataDir);
  if (flags.dataDir && flags.dataDir->empty()) return {std::nullopt, "the data directory must not be empty"};
  if (dataDir.empty()) {
    if (auto xdg = environment("XDG_DATA_HOME"); xdg && !xdg->empty()) {
      dataDir = *xdg + "/twig-child";
    } else if (auto home = environment("HOME"); home && !home->empty()) {
      dataDir = *home + "/.local/share/twig-child";
    } else {
      dataDir = "twig-data";
    }
  }
  settings.dataRoot = std::filesystem::absolute(dataDir).lexically_normal();

  const std::string keychain = pick(flags.keychain, "TWIG_KEYCHAIN", "session");
  if (keychain != "session" && keychain != "file")
    return {std::nullopt, "keychain '" + keychain + "' is neither 'session' nor 'file'"};
  settings.sessionKeyring = keychain == "session";

  const std::string caFile = pick(flags.caFile, "TWIG_CA_FILE", "");
  if (!caFile.empty()) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(caFile, error))
      return {std::nullopt, "the CA file '" + caFile + "' is not a readable file"};
    settings.caFile = std::filesystem::absolute(caFile).lexically_normal();
  }
  settings.installManifestUrl = build::kDefaultInstallManifestUrl;
  settings.launcherManifestUrl = build::kDefaultLauncherManifestUrl;
  return {settings, {}};
}

DeploymentResolution DeploymentSettingsResolver::resolveFromProcess(const DeploymentOverrides& flags) {
  return resolve(flags, [](const char* name) -> std::optional<std::string> {
    if (const char* value = std::getenv(name)) return std::string(value);
    return std::nullopt;
  });
}

}  // namespace twig
