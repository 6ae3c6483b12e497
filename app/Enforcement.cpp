#include "app/Enforcement.h"

#include "app/LinuxPorts.h"
#include "control/ProcessEnforcer.h"
#include "platform/Directories.h"

namespace twig {

std::unique_ptr<ProcessEnforcer> makeEnforcement(bool enabled, LinuxPorts& ports, MainLoop& loop,
                                                 Clock& clock,
                                                 std::function<void(const std::string&)> report) {
  if (!enabled) return nullptr;
  ProcessEnforcer::Options options;
  options.logFile = ports.ports().directories->documents() / "enforcement.log";
  return std::make_unique<ProcessEnforcer>(ports.notifications(), loop, clock, ports.processControl(),
                                           std::move(report), options);
}

}  // namespace twig
