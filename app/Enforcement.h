#pragma once

#include <functional>
#include <memory>
#include <string>

namespace twig {

class Clock;
struct ControlEvents;
class LinuxPorts;
class MainLoop;
class ControlWarning;
class ProcessEnforcer;

// `--enforce close`: the closing of offending programs, made for an agent's ports; nothing when
// it is off. Acts are told to `report` and logged in the application's Documents folder.
std::unique_ptr<ProcessEnforcer> makeEnforcement(bool enabled, LinuxPorts& ports, ControlEvents& events,
                                                 MainLoop& loop, Clock& clock,
                                                 std::function<void(const std::string&)> report);

// The warning a few minutes before a group's window closes (`--warn-before MINUTES`, 0: none):
// spoken and shown in the desktop's notification area. Nothing when it is off.
std::unique_ptr<ControlWarning> makeControlWarning(int leadMinutes, LinuxPorts& ports, ControlEvents& events);

}  // namespace twig
