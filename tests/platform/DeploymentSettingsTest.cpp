#include "platform/DeploymentSettings.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
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

  DeploymentOverrides flags{"example.org", "1884", "/tmp/twig-flag", std::nullopt};
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
  DeploymentOverrides flags{"[::1]:8080", std::nullopt, "/d", std::nullopt};
  const auto resolved = DeploymentSettingsResolver::resolve(flags, environment({}));
  ASSERT_TRUE(resolved.settings) << resolved.error;
  EXPECT_EQ(resolved.settings->baseAddress(), "http://[::1]:8080/api/v2.0");
  EXPECT_EQ(resolved.settings->serviceHostName(), "::1");
  EXPECT_EQ(resolved.settings->applicationFolder(), "/d/app");
  EXPECT_EQ(resolved.settings->keychainFolder(), "/d/keychain");
  // The keychain must not live inside the application's folder, or a reinstall would lose it.
  EXPECT_NE(resolved.settings->keychainFolder().parent_path(), resolved.settings->applicationFolder());

  DeploymentOverrides plain{"service.example:80", std::nullopt, "/d", std::nullopt};
  EXPECT_EQ(DeploymentSettingsResolver::resolve(plain, environment({})).settings->serviceHostName(),
            "service.example");
}

TEST(DeploymentSettings, BadValuesAreRefusedWithAnExplanation) {
  const auto env = environment({});
  for (const char* host :
       {"", ":80", "http://x", "host/path", "host:0", "host:65536", "host:8a", "[::1", "[]:1"}) {
    const auto result =
        DeploymentSettingsResolver::resolve({std::string(host), std::nullopt, "/d", std::nullopt}, env);
    EXPECT_FALSE(result.settings) << host;
    EXPECT_NE(result.error.find("service host"), std::string::npos) << host;
  }
  for (const char* port : {"0", "70000", "abc", "-1", ""}) {
    const auto result =
        DeploymentSettingsResolver::resolve({std::nullopt, std::string(port), "/d", std::nullopt}, env);
    EXPECT_FALSE(result.settings) << port;
    EXPECT_NE(result.error.find("MQTT port"), std::string::npos) << port;
  }
  EXPECT_FALSE(
      DeploymentSettingsResolver::resolve({std::nullopt, std::nullopt, "", std::nullopt}, env).settings);
  const auto keychain =
      DeploymentSettingsResolver::resolve({std::nullopt, std::nullopt, "/d", "wallet"}, env);
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
  const char* argv[] = {"twig-child",  "--service-host", "127.0.0.1:18080",
                        "--mqtt-port", "21883",          "--data-dir",
                        "/x",          "--keychain",     "file"};
  app.parse(9, argv);
  EXPECT_EQ(overrides.serviceHost, "127.0.0.1:18080");
  EXPECT_EQ(overrides.mqttPort, "21883");
  EXPECT_EQ(overrides.dataDir, "/x");
  EXPECT_EQ(overrides.keychain, "file");
}

}  // namespace
}  // namespace twig
