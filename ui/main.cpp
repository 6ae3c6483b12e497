// twig-child: the child-side agent of the parental-control service.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "BuildConfig.h"
#include "app/CommandLine.h"
#include "app/DeploymentOptions.h"
#include "app/HeadlessAgent.h"
#include "app/WindowModule.h"
#include "platform/linux/InstanceLock.h"

namespace {

// "390x844" as width and height; nothing when it is not two sizes between 200 and 4000.
std::optional<std::pair<int, int>> windowSize(const std::string& text) {
  int width = 0;
  int height = 0;
  char x = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3 || (x != 'x' && x != 'X'))
    return std::nullopt;
  if (width < 200 || height < 200 || width > 4000 || height > 4000) return std::nullopt;
  return std::make_pair(width, height);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app(
      "twig-child: the child-side agent of the parental-control service.\n"
      "Binds this device to a parent's account, answers the parent's commands and enforces app time "
      "windows.");
  app.set_version_flag("--version", std::string("twig-child ") + twig::build::kVersion);
  bool headless = false;
  app.add_flag(
      "--headless", headless,
      "Run without a window (also when no display is available): screens, their state, overlays, alerts "
      "and spoken warnings are printed one line each, and commands typed on standard input walk the "
      "screens: screens, show, tap ACTION [KEY=VALUE...], back, bar, alert INDEX, help");
  std::string window = "390x844";
  app.add_option("--window", window, "Size of the window, WIDTHxHEIGHT in points (a phone's by default)")
      ->capture_default_str()
      ->check([](const std::string& text) {
        return windowSize(text) ? std::string() : std::string("expected WIDTHxHEIGHT, 200 to 4000 each");
      });
  std::optional<std::string> enrollCode;
  app.add_option(
      "--enroll-code", enrollCode,
      "Type CODE into the binding screen, tick the agreement and confirm, when that screen appears");
  std::optional<std::string> installedApps;
  app.add_option("--installed-apps", installedApps,
                 "JSON file listing the installed applications: [{\"bundleId\", \"bundleExecutable\", "
                 "\"displayName\"}] (instead of the desktop entries of the XDG data folders)")
      ->check(CLI::ExistingFile);
  std::optional<std::string> pictures;
  app.add_option("--pictures", pictures,
                 "Folder of the photos the child may attach to a special reward (default: the pictures "
                 "folder of the XDG user directories, usually ~/Pictures)");
  std::string enforce = "off";
  app.add_option("--enforce", enforce,
                 "'close': a program still running a minute after the lock screen's first warning gets "
                 "SIGTERM, then SIGKILL 10 s later (only the child's own processes; every act is printed and "
                 "logged)")
      ->check(CLI::IsMember({"off", "close"}))
      ->capture_default_str();
  int warnBefore = twig::HeadlessAgent::Options().warnBeforeMinutes;
  app.add_option(
         "--warn-before", warnBefore,
         "Minutes before an application group's time window closes at which the child is told, spoken "
         "and in the desktop's notifications, if its applications run (0: never)")
      ->check(CLI::Range(0, 24 * 60))
      ->capture_default_str();
  std::optional<std::string> screenshots;
#if TWIG_WITH_UI
  app.add_option("--screenshots", screenshots,
                 "Draw every screen in its main states offscreen into DIR as PNG files, then exit");
#endif
  twig::DeploymentOverrides overrides;
  twig::DeploymentOptions::add(app, overrides);

  if (const auto exitCode = twig::CommandLine::parse(app, argc, argv, "twig-child")) return *exitCode;

  const auto resolution = twig::DeploymentSettingsResolver::resolveFromProcess(overrides);
  if (!resolution.settings) {
    std::fprintf(stderr, "twig-child: %s\n", resolution.error.c_str());
    return 2;
  }
#if TWIG_WITH_UI
  if (screenshots) {
    twig::WindowModule module;
    if (!module.loaded()) {
      std::fprintf(stderr, "twig-child: %s\n", module.error().c_str());
      return 1;
    }
    const auto [width, height] = *windowSize(window);
    return module.screenshots(argc, argv, *screenshots, width, height);
  }
#endif
  twig::InstanceLock lock(resolution.settings->dataRoot);
  if (!lock.held()) {
    std::fprintf(stderr, "twig-child: another twig-child already runs with the data folder %s\n",
                 resolution.settings->dataRoot.c_str());
    return 0;
  }
#if TWIG_WITH_UI
  if (!headless && twig::WindowModule::displayAvailable()) {
    twig::WindowModule module;
    if (module.loaded()) {
      twig::WindowOptions windowed;
      windowed.settings = *resolution.settings;
      windowed.installedAppsFile = installedApps;
      windowed.picturesFolder = pictures;
      windowed.enforceClose = enforce == "close";
      windowed.warnBeforeMinutes = warnBefore;
      std::tie(windowed.width, windowed.height) = *windowSize(window);
      return module.run(argc, argv, windowed);
    }
    // The agent's work does not need the window: it goes on without one rather than stop.
    std::fprintf(stderr, "twig-child: no window (%s); running headless\n", module.error().c_str());
  }
#else
  (void)headless;
#endif
  twig::HeadlessAgent::Options options;
  options.settings = *resolution.settings;
  options.enrollCode = enrollCode;
  options.installedAppsFile = installedApps;
  options.picturesFolder = pictures;
  options.enforceClose = enforce == "close";
  options.warnBeforeMinutes = warnBefore;
  return twig::HeadlessAgent::run(options);
}
