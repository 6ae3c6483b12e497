#pragma once

#include <functional>
#include <memory>
#include <string>

namespace twig {

class Clock;
class LinuxPorts;
class MainLoop;
class ProcessEnforcer;

// `--enforce close`: the closing of offending programs, made for an agent's ports; nothing when
// it is off. Acts are told to `report` and logged in the application's Documents folder.
std::unique_ptr<ProcessEnforcer> makeEnforcement(bool enabled, LinuxPorts& ports, MainLoop& loop,
                                                 Clock& clock,
                                                 std::function<void(const std::string&)> report);

}  // namespace twig
