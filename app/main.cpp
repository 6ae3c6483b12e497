// twig-child: the child-side agent of the parental-control service.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "BuildConfig.h"
#include "app/CommandLine.h"
#include "app/DeploymentOptions.h"
#include "app/HeadlessAgent.h"

int main(int argc, char** argv) {
  CLI::App app(
      "twig-child: the child-side agent of the parental-control service.\n"
      "Binds this device to a parent's account, answers the parent's commands and enforces app time "
      "windows.");
  app.set_version_flag("--version", std::string("twig-child ") + twig::build::kVersion);
  bool headless = false;
  app.add_flag(
      "--headless", headless,
      "Run without a window (the only mode so far): screens, their state, overlays, alerts and spoken "
      "warnings are printed one line each, and commands typed on standard input walk the screens: "
      "screens, show, tap ACTION [KEY=VALUE...], back, bar, alert INDEX, help");
  std::optional<std::string> enrollCode;
  app.add_option(
      "--enroll-code", enrollCode,
      "Type CODE into the binding screen, tick the agreement and confirm, when that screen appears");
  std::optional<std::string> installedApps;
  app.add_option("--installed-apps", installedApps,
                 "JSON file listing the installed applications: [{\"bundleId\", \"bundleExecutable\", "
                 "\"displayName\"}]")
      ->check(CLI::ExistingFile);
  std::optional<std::string> pictures;
  app.add_option("--pictures", pictures,
                 "Folder of the photos the child may attach to a special reward (default: the pictures "
                 "folder of the XDG user directories, usually ~/Pictures)");
  twig::DeploymentOverrides overrides;
  twig::DeploymentOptions::add(app, overrides);

  if (const auto exitCode = twig::CommandLine::parse(app, argc, argv, "twig-child")) return *exitCode;

  const auto resolution = twig::DeploymentSettingsResolver::resolveFromProcess(overrides);
  if (!resolution.settings) {
    std::fprintf(stderr, "twig-child: %s\n", resolution.error.c_str());
    return 2;
  }
  twig::HeadlessAgent::Options options;
  options.settings = *resolution.settings;
  options.enrollCode = enrollCode;
  options.installedAppsFile = installedApps;
  options.picturesFolder = pictures;
  return twig::HeadlessAgent::run(options);
}
