#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Ports.h"

namespace twig {

class Clock;
class DesktopNotifier;
class MainLoop;
class NotificationCenter;
class ProcessControl;

// The ports of the agent on a Linux computer, made from the deployment settings, for any front end:
// the headless agent and the window give their own clock, main loop and screen host. Keeps every
// port alive while it lives; ports() is the set an agent is made from.
class LinuxPorts {
 public:
  struct Options {
    // A JSON list of the installed applications instead of the desktop's entries.
    std::optional<std::string> installedAppsFile;
    std::optional<std::string> picturesFolder;
    // The height of the agent's screen in points, which some layouts depend on.
    double screenHeightPoints = 667;
    // Told of links opened and of texts spoken, one line each ("url …", "speak …"); may be empty.
    std::function<void(const std::string& line)> announce;
  };

  LinuxPorts(const DeploymentSettings& settings, const Options& options, Clock& clock, MainLoop& loop);
  ~LinuxPorts();
  LinuxPorts(const LinuxPorts&) = delete;
  LinuxPorts& operator=(const LinuxPorts&) = delete;

  const Ports& ports() const { return ports_; }
  NotificationCenter& notifications();
  // The processes with their owners, for the optional closing of offending programs.
  ProcessControl& processControl();
  // The desktop's notification area, for notices to the child.
  DesktopNotifier& desktopNotifier();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  Ports ports_;
};

}  // namespace twig
