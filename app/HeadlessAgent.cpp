#include "app/HeadlessAgent.h"

#include <optional>
#include <thread>

#include "api/Utils.h"
#include "app/Agent.h"
#include "app/ConsoleCommands.h"
#include "app/ConsoleInput.h"
#include "app/ConsoleScreenHost.h"
#include "app/Enforcement.h"
#include "app/LinuxPorts.h"
#include "app/Startup.h"
#include "app/StopSignals.h"
#include "control/AppControlManager.h"
#include "control/ControlWarning.h"
#include "control/ProcessEnforcer.h"
#include "frame/RouteNames.h"
#include "frame/ViewModel.h"
#include "platform/ApplicationEvents.h"
#include "platform/NotificationCenter.h"
#include "platform/PlainMainLoop.h"
#include "platform/SystemClock.h"

namespace twig {

namespace {

// Types the code into the binding screen once, when it first appears.
void enrolWhenLoginAppears(ConsoleScreenHost& host, PlainMainLoop& loop, const std::string& code) {
  auto done = std::make_shared<bool>(false);
  host.setLineObserver([&host, &loop, code, done](const std::string& line) {
    if (*done || (line != "screen push Login/LoginID" && line != "screen root Login/LoginID")) return;
    *done = true;
    loop.post([&host, code] {
      auto screen = host.topScreen();
      if (!screen || screen->screenName() != std::string(routes::kLogin.name) + "/" + routes::kLogin.id)
        return;
      screen->invoke("setText1", Json{{"text", code}});
      screen->invoke("setText2", Json{{"text", code}});
      if (!screen->state().value("agreementSelected", false)) screen->invoke("chooseButton");
      screen->invoke("determineButton");
    });
  });
}

// One line when control starts or its offending applications change, one when it ends (the
// evaluation itself repeats every 10 seconds). Its state belongs to the main loop: a pushed command
// may carry the same names on the push channel's thread.
class ControlReporter {
 public:
  ControlReporter(ControlEvents& events, MainLoop& loop, ConsoleScreenHost& host) {
    start_ = events.started.connect([this, &loop, &host](const Json& blacklist) {
      loop.runOrPost([this, &host, blacklist] {
        if (blacklist == last_) return;
        last_ = blacklist;
        std::string line = "control start";
        for (const auto& group : blacklist) {
          line += " " + Utils::stringValue(group, "groupName") + ":";
          for (const auto& app : group.value("apps", Json::array()))
            line += " " + Utils::stringValue(app, "processName");
          line += ";";
        }
        host.print(line);
      });
    });
    end_ = events.ended.connect([this, &loop, &host] {
      loop.runOrPost([this, &host] {
        if (last_.empty()) return;
        last_ = Json::array();
        host.print("control end");
      });
    });
  }

 private:
  Json last_ = Json::array();
  ObserverToken start_;
  ObserverToken end_;
};

}  // namespace

int HeadlessAgent::run(const Options& options) {
  StopSignals stopSignals;  // first: every thread made below inherits the block

  SystemClock clock;
  PlainMainLoop loop(clock);
  ConsoleScreenHost host;
  LinuxPorts::Options portOptions;
  portOptions.installedAppsFile = options.installedAppsFile;
  portOptions.picturesFolder = options.picturesFolder;
  portOptions.announce = [&host](const std::string& line) { host.print(line); };
  LinuxPorts ports(options.settings, portOptions, clock, loop);
  Agent::Options agentOptions;
  agentOptions.warningLeadMinutes = options.warnBeforeMinutes;
  std::optional<Agent> agent(std::in_place, ports.ports(), host, agentOptions);
  auto warning = makeControlWarning(options.warnBeforeMinutes, ports, agent->controlEvents());
  ControlReporter controlReporter(agent->controlEvents(), loop, host);
  auto enforcement = makeEnforcement(options.enforceClose, ports, agent->controlEvents(), loop, clock,
                                     [&host](const std::string& line) { host.print(line); });

  if (options.enrollCode) enrolWhenLoginAppears(host, loop, *options.enrollCode);
  // Typed commands walk the screens; they run on the main loop like a tap would.
  ConsoleCommands commands(host);
  ConsoleInput input([&loop, &commands, &host](std::string line) {
    loop.post([&commands, &host, line = std::move(line)] {
      for (const auto& answer : commands.run(line)) host.print(answer);
    });
  });

  stopSignals.watch([&loop] { loop.quit(); });

  auto& startup = agent->startup();
  loop.post([&] {
    startup.didFinishLaunching();
    ports.notifications().post(ApplicationEvents::kDidBecomeActive);
  });
  loop.run();
  startup.applicationWillTerminate();
  stopSignals.stop();
  // The agent's parts stop before the last line, which tells that everything has.
  enforcement.reset();
  warning.reset();
  agent.reset();
  host.print("stopped");
  return 0;
}

}  // namespace twig
