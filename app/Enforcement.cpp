#include "app/Enforcement.h"

#include "app/LinuxPorts.h"
#include "control/ControlWarning.h"
#include "control/ProcessEnforcer.h"
#include "control/AppControlManager.h"
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

std::unique_ptr<ControlWarning> makeControlWarning(int leadMinutes, LinuxPorts& ports) {
  AppControlManager::setDefaultWarningLead(leadMinutes);
  if (leadMinutes <= 0) return nullptr;
  return std::make_unique<ControlWarning>(ports.notifications(), *ports.ports().speechSynthesizer,
                                          ports.desktopNotifier());
}

}  // namespace twig
