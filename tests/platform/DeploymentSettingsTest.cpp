#include "platform/DeploymentSettings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <map>

#include "BuildConfig.h"
#include "app/DeploymentOptions.h"

namespace twig {
namespace {

DeploymentSettingsResolver::Environment environment(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const char* name) -> std::optional<std::string> {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(DeploymentSettings, FlagsBeatEnvironmentWhichBeatsTheBuild) {
  const auto env = environment({{"TWIG_SERVICE_HOST", "10.0.0.5:9000"},
                                {"TWIG_MQTT_PORT", "2883"},
                                {"TWIG_DATA_DIR", "/var/lib/twig-env"}});
  const auto fromEnv = DeploymentSettingsResolver::resolve({}, env);
  ASSERT_TRUE(fromEnv.settings) << fromEnv.error;
  EXPECT_EQ(fromEnv.settings->serviceHost, "10.0.0.5:9000");
  EXPECT_EQ(fromEnv.settings->mqttPort, 2883);
  EXPECT_EQ(fromEnv.settings->dataRoot, "/var/lib/twig-env");

  DeploymentOverrides flags{"example.org", "1884",       "/tmp/twig-flag",
                            std::nullopt,  std::nullopt, std::nullopt};
  const auto fromFlags = DeploymentSettingsResolver::resolve(flags, env);
  ASSERT_TRUE(fromFlags.settings) << fromFlags.error;
  EXPECT_EQ(fromFlags.settings->serviceHost, "example.org");
  EXPECT_EQ(fromFlags.settings->mqttPort, 1884);
  EXPECT_EQ(fromFlags.settings->dataRoot, "/tmp/twig-flag");

  const auto defaults = DeploymentSettingsResolver::resolve({}, environment({{"HOME", "/home/kid"}}));
  ASSERT_TRUE(defaults.settings) << defaults.error;
  EXPECT_EQ(defaults.settings->serviceHost, build::kDefaultServiceHost);
  EXPECT_EQ(std::to_string(defaults.settings->mqttPort), build::kDefaultMqttPort);
  if (std::string(build::kDefaultDataDir).empty()) {
    EXPECT_EQ(defaults.settings->dataRoot, "/home/kid/.local/share/twig-child");
  }
}

TEST(DeploymentSettings, DerivedAddressesAndFolders) {
  DeploymentOverrides flags{"[::1]:8080", std::nullopt, "/d", std::nullopt, std::nullopt, std::nullopt};
  const auto resolved = DeploymentSettingsResolver::resolve(flags, environment({}));
  ASSERT_TRUE(resolved.settings) << resolved.error;
  EXPECT_EQ(resolved.settings->baseAddress(), "http://[::1]:8080/api/v2.0");
  EXPECT_EQ(resolved.settings->serviceHostName(), "::1");
  EXPECT_EQ(resolved.settings->applicationFolder(), "/d/app");
  EXPECT_EQ(resolved.settings->keychainFolder(), "/d/keychain");
  // The keychain must not live inside the application's folder, or a reinstall would lose it.
  EXPECT_NE(resolved.settings->keychainFolder().parent_path(), resolved.settings->applicationFolder());

  DeploymentOverrides plain{"service.example:80", std::nullopt, "/d",
                            std::nullopt,         std::nullopt, std::nullopt};
  EXPECT_EQ(DeploymentSettingsResolver::resolve(plain, environment({})).settings->serviceHostName(),
            "service.example");
}

TEST(DeploymentSettings, BadValuesAreRefusedWithAnExplanation) {
  const auto env = environment({});
  for (const char* host : {"", ":80", "ftp://x", "https://", "http://https://x", "host/path", "host:0",
                           "host:65536", "host:8a", "[::1", "[]:1"}) {
    const auto result = DeploymentSettingsResolver::resolve(
        {std::string(host), std::nullopt, "/d", std::nullopt, std::nullopt, std::nullopt}, env);
    EXPECT_FALSE(result.settings) << host;
    EXPECT_NE(result.error.find("service host"), std::string::npos) << host;
  }
  for (const char* port : {"0", "70000", "abc", "-1", ""}) {
    const auto result = DeploymentSettingsResolver::resolve(
        {std::nullopt, std::string(port), "/d", std::nullopt, std::nullopt, std::nullopt}, env);
    EXPECT_FALSE(result.settings) << port;
    EXPECT_NE(result.error.find("MQTT port"), std::string::npos) << port;
  }
  EXPECT_FALSE(DeploymentSettingsResolver::resolve(
                   {std::nullopt, std::nullopt, "", std::nullopt, std::nullopt, std::nullopt}, env)
                   .settings);
  const auto keychain = DeploymentSettingsResolver::resolve(
      {std::nullopt, std::nullopt, "/d", "wallet", std::nullopt, std::nullopt}, env);
  EXPECT_FALSE(keychain.settings);
  EXPECT_NE(keychain.error.find("keychain"), std::string::npos);
}

TEST(DeploymentSettings, TheSessionKeyringUnlessFileIsAsked) {
  EXPECT_TRUE(
      DeploymentSettingsResolver::resolve({}, environment({{"HOME", "/h"}})).settings->sessionKeyring);
  const auto fromEnv = environment({{"HOME", "/h"}, {"TWIG_KEYCHAIN", "file"}});
  EXPECT_FALSE(DeploymentSettingsResolver::resolve({}, fromEnv).settings->sessionKeyring);
  DeploymentOverrides flags;
  flags.keychain = "session";
  EXPECT_TRUE(DeploymentSettingsResolver::resolve(flags, fromEnv).settings->sessionKeyring);
}

TEST(DeploymentSettings, CommandLineFlagsFillTheOverrides) {
  CLI::App app;
  DeploymentOverrides overrides;
  DeploymentOptions::add(app, overrides);
  const char* argv[] = {
      "twig-child", "--service-host", "127.0.0.1:18080", "--mqtt-port", "21883",      "--data-dir", "/x",
      "--keychain", "file",           "--mqtt-tls",      "--ca-file",   "/etc/ca.pem"};
  app.parse(12, argv);
  EXPECT_EQ(overrides.serviceHost, "127.0.0.1:18080");
  EXPECT_EQ(overrides.mqttPort, "21883");
  EXPECT_EQ(overrides.dataDir, "/x");
  EXPECT_EQ(overrides.keychain, "file");
  EXPECT_EQ(overrides.mqttTls, "1");
  EXPECT_EQ(overrides.caFile, "/etc/ca.pem");
}

TEST(DeploymentSettings, TlsForTheServiceByItsSchemeAndForTheBrokerBySwitch) {
  const auto env = environment({{"HOME", "/h"}});
  const auto plain = DeploymentSettingsResolver::resolve({}, env).settings;
  EXPECT_FALSE(plain->mqttTls);
  EXPECT_TRUE(plain->caFile.empty());

  DeploymentOverrides flags;
  flags.serviceHost = "https://service.example:8443";
  flags.mqttTls = "1";
  const auto secure = DeploymentSettingsResolver::resolve(flags, env).settings;
  ASSERT_TRUE(secure);
  EXPECT_EQ(secure->serviceHost, "service.example:8443");
  EXPECT_EQ(secure->serviceHostName(), "service.example");
  EXPECT_EQ(secure->baseAddress(), "https://service.example:8443/api/v2.0");
  EXPECT_TRUE(secure->mqttTls);
  EXPECT_EQ(secure->mqttPort, 8883);  // the TLS port unless one is named

  flags.serviceHost = "http://service.example";
  flags.mqttPort = "9883";
  const auto named = DeploymentSettingsResolver::resolve(flags, env).settings;
  EXPECT_EQ(named->baseAddress(), "http://service.example/api/v2.0");
  EXPECT_EQ(named->mqttPort, 9883);

  const auto fromEnv =
      DeploymentSettingsResolver::resolve({}, environment({{"HOME", "/h"}, {"TWIG_MQTT_TLS", "yes"}}));
  EXPECT_TRUE(fromEnv.settings->mqttTls);
  flags.mqttTls = "maybe";
  const auto unclear = DeploymentSettingsResolver::resolve(flags, env);
  EXPECT_FALSE(unclear.settings);
  EXPECT_NE(unclear.error.find("MQTT TLS"), std::string::npos);
}

TEST(DeploymentSettings, TheAuthorityFileMustExist) {
  const auto env = environment({{"HOME", "/h"}});
  DeploymentOverrides flags;
  flags.caFile = "/nonexistent/ca.pem";
  const auto missing = DeploymentSettingsResolver::resolve(flags, env);
  EXPECT_FALSE(missing.settings);
  EXPECT_NE(missing.error.find("/nonexistent/ca.pem"), std::string::npos);
  const auto file =
      std::filesystem::temp_directory_path() / ("twig-ca-" + std::to_string(::getpid()) + ".pem");
  std::ofstream(file) << "-----BEGIN CERTIFICATE-----\n";
  flags.caFile = file.string();
  const auto present = DeploymentSettingsResolver::resolve(flags, env);
  std::filesystem::remove(file);
  ASSERT_TRUE(present.settings) << present.error;
  EXPECT_EQ(present.settings->caFile, file);
}

}  // namespace
}  // namespace twig
