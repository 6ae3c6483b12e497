#include "ui/WindowedAgent.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include "app/Agent.h"
#include "app/Enforcement.h"
#include "app/LinuxPorts.h"
#include "app/Startup.h"
#include "app/StopSignals.h"
#include "control/ControlWarning.h"
#include "control/ProcessEnforcer.h"
#include "platform/ApplicationEvents.h"
#include "platform/NotificationCenter.h"
#include "platform/SystemClock.h"
#include "ui/FrontEnd.h"
#include "ui/QtMainLoop.h"
#include "ui/QuickScreenHost.h"
#include "ui/ScreenshotRenderer.h"

namespace twig {

int WindowedAgent::screenshots(int argc, char** argv, const std::string& folder, int width, int height) {
  // Drawn without a display and without a graphics card, the same on every machine.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  QGuiApplication application(argc, argv);
  return ScreenshotRenderer::writeAll(folder, width, height);
}

int WindowedAgent::run(int argc, char** argv, const Options& options) {
  StopSignals stopSignals;  // first: every thread made below inherits the block

  ui::chooseRenderer();
  QGuiApplication application(argc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("twig-child"));
  ui::useProjectFont();

  SystemClock clock;
  QtMainLoop loop;
  QuickScreenHost host;
  LinuxPorts::Options portOptions;
  portOptions.installedAppsFile = options.installedAppsFile;
  portOptions.picturesFolder = options.picturesFolder;
  portOptions.screenHeightPoints = options.height;
  LinuxPorts ports(options.settings, portOptions, clock, loop);
  Agent::Options agentOptions;
  agentOptions.warningLeadMinutes = options.warnBeforeMinutes;
  std::optional<Agent> agent(std::in_place, ports.ports(), host, agentOptions);
  auto warning = makeControlWarning(options.warnBeforeMinutes, ports, agent->controlEvents());
  auto enforcement = makeEnforcement(options.enforceClose, ports, agent->controlEvents(), loop, clock,
                                     [](const std::string& line) {
                                       std::printf("%s\n", line.c_str());
                                       std::fflush(stdout);
                                     });

  QQmlApplicationEngine engine;
  QQuickWindow* window = ui::loadWindow(engine, host, options.width, options.height);
  if (window == nullptr) return 1;
  // For the start-up benchmark: one line when the first frame is on the screen.
  if (std::getenv("TWIG_FIRST_FRAME_REPORT") != nullptr) {
    {
      auto reported = std::make_shared<bool>(false);
      QObject::connect(window, &QQuickWindow::frameSwapped, window, [reported] {
        if (*reported) return;
        *reported = true;
        std::printf("first frame\n");
        std::fflush(stdout);
      });
    }
  }

  stopSignals.watch([] {
    // exit, not quit: quit asks every window to close first and gives up when one refuses, as the
    // lock windows do.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  });

  auto& startup = agent->startup();
  loop.post([&] {
    startup.didFinishLaunching();
    ports.notifications().post(ApplicationEvents::kDidBecomeActive);
  });
  const int code = QGuiApplication::exec();
  startup.applicationWillTerminate();
  stopSignals.stop();
  enforcement.reset();
  warning.reset();
  agent.reset();
  return code;
}

}  // namespace twig
