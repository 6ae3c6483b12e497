#include "app/Enforcement.h"

#include "app/LinuxPorts.h"
#include "control/AppControlManager.h"
#include "control/ControlWarning.h"
#include "control/ProcessEnforcer.h"
#include "platform/Directories.h"

namespace twig {

std::unique_ptr<ProcessEnforcer> makeEnforcement(bool enabled, LinuxPorts& ports, ControlEvents& events,
                                                 MainLoop& loop, Clock& clock,
                                                 std::function<void(const std::string&)> report) {
  if (!enabled) return nullptr;
  ProcessEnforcer::Options options;
  options.logFile = ports.ports().directories.documents() / "enforcement.log";
  return std::make_unique<ProcessEnforcer>(events, loop, clock, ports.processControl(), std::move(report),
                                           options);
}

std::unique_ptr<ControlWarning> makeControlWarning(int leadMinutes, LinuxPorts& ports,
                                                   ControlEvents& events) {
  if (leadMinutes <= 0) return nullptr;
  return std::make_unique<ControlWarning>(events, ports.ports().speechSynthesizer, ports.desktopNotifier());
}

}  // namespace twig
