#include "app/HeadlessAgent.h"

#include <signal.h>

#include <thread>

#include "api/TWIGUtils.h"
#include "app/AgentServices.h"
#include "app/AppDelegate.h"
#include "app/CommandCatalog.h"
#include "app/ConsoleCommands.h"
#include "app/ConsoleInput.h"
#include "app/ConsoleScreenHost.h"
#include "app/ConsoleSpeechSynthesizer.h"
#include "app/ScreenCatalog.h"
#include "app/SharedObjects.h"
#include "control/TWGIAppsModel.h"
#include "control/TWIGAppControlGroupModel.h"
#include "control/TWIGManagement.h"
#include "frame/ScreenRegistry.h"
#include "frame/TWIGBaseViewController.h"
#include "messaging/CommandRouter.h"
#include "messaging/TWIGMQTTClient.h"
#include "platform/ApplicationEvents.h"
#include "platform/BackgroundPool.h"
#include "platform/InstalledApplications.h"
#include "platform/NotificationCenter.h"
#include "platform/PlainMainLoop.h"
#include "platform/Ports.h"
#include "platform/SystemClock.h"
#include "platform/linux/DataDirectories.h"
#include "platform/linux/DesktopApplicationShell.h"
#include "platform/linux/DirectoryImageCache.h"
#include "platform/linux/EspeakSpeechSynthesizer.h"
#include "platform/linux/FileKeychain.h"
#include "platform/linux/FileUserDefaults.h"
#include "platform/linux/FolderPhotoLibrary.h"
#include "platform/linux/GpsdLocationService.h"
#include "platform/linux/JsonFileInstalledApplications.h"
#include "platform/linux/LinuxDeviceFacts.h"
#include "platform/linux/LinuxDeviceState.h"
#include "platform/linux/LinuxUrlOpener.h"
#include "platform/linux/NetlinkReachability.h"
#include "platform/linux/NoCamera.h"
#include "platform/linux/NullAnalytics.h"
#include "platform/linux/NullAudioPlayer.h"
#include "platform/linux/PixbufImageCodec.h"
#include "platform/linux/ProcProcessTable.h"
#include "storage/TWIGCache.h"

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
      if (!screen || screen->screenName() != "Login/LoginID") return;
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
  ControlReporter(NotificationCenter& notifications, MainLoop& loop, ConsoleScreenHost& host) {
    start_ =
        notifications.addObserver(TWIGManagement::kControlStart, [this, &loop, &host](const Notification& n) {
          const auto* blacklist = std::any_cast<Json>(&n.object);
          if (blacklist == nullptr) return;
          loop.runOrPost([this, &host, blacklist = *blacklist] {
            if (blacklist == last_) return;
            last_ = blacklist;
            std::string line = "control start";
            for (const auto& group : blacklist) {
              line += " " + TWIGUtils::stringValue(group, "groupName") + ":";
              for (const auto& app : group.value("apps", Json::array()))
                line += " " + TWIGUtils::stringValue(app, "processName");
              line += ";";
            }
            host.print(line);
          });
        });
    end_ = notifications.addObserver(TWIGManagement::kControlEnd, [this, &loop, &host](const Notification&) {
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
  // SIGINT and SIGTERM are taken by one thread below; every other thread inherits the block.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  const DeploymentSettings& settings = options.settings;
  SystemClock clock;
  PlainMainLoop loop(clock);
  NotificationCenter notifications;
  LinuxDeviceFacts::Options deviceOptions;
  deviceOptions.applicationFolder = settings.applicationFolder();
  deviceOptions.deviceFolder = settings.deviceFolder();
  LinuxDeviceFacts device(deviceOptions);
  FileKeychain keychain(settings.keychainFolder());
  DataDirectories directories(settings.applicationFolder());
  FileUserDefaults userDefaults(directories.preferences() / (device.bundleIdentifier() + ".json"));
  NetlinkReachability reachability(settings.serviceHostName());
  // Before the pool, which may still read photos while it finishes its work at the end.
  PixbufImageCodec codec;
  FolderPhotoLibrary photos(options.picturesFolder ? std::filesystem::path(*options.picturesFolder)
                                                   : FolderPhotoLibrary::picturesFolder(),
                            codec);
  NoCamera camera;
  BackgroundPool pool(2, "twig-pool");
  DirectoryImageCache pictures(directories.caches() / device.processName() / "ImageDownloads");
  ConsoleScreenHost host;
  NullAnalytics analytics;
  LinuxUrlOpener urls;
  urls.setAnnouncer([&host](const std::string& url) { host.print("url " + url); });
  DesktopApplicationShell shell;
  ProcProcessTable processes;
  LinuxDeviceState::Options stateOptions;
  stateOptions.sessionId = LinuxDeviceState::currentSessionId();
  LinuxDeviceState deviceState(loop, stateOptions);
  NullAudioPlayer audio;
  GpsdLocationService location;
  const auto voice = EspeakSpeechSynthesizer::forThisMachine();
  ConsoleSpeechSynthesizer speech([&host](const std::string& line) { host.print(line); }, *voice);
  NoInstalledApplications noApplications;
  std::optional<JsonFileInstalledApplications> listedApplications;
  if (options.installedAppsFile) listedApplications.emplace(*options.installedAppsFile);
  InstalledApplications* installed =
      listedApplications ? static_cast<InstalledApplications*>(&*listedApplications) : &noApplications;

  Ports ports;
  ports.mainLoop = &loop;
  ports.clock = &clock;
  ports.notifications = &notifications;
  ports.device = &device;
  ports.keychain = &keychain;
  ports.userDefaults = &userDefaults;
  ports.directories = &directories;
  ports.reachability = &reachability;
  ports.backgroundPool = &pool;
  ports.imageCache = &pictures;
  ports.analytics = &analytics;
  ports.urlOpener = &urls;
  ports.applicationShell = &shell;
  ports.processTable = &processes;
  ports.deviceState = &deviceState;
  ports.audioPlayer = &audio;
  ports.locationService = &location;
  ports.speechSynthesizer = &speech;
  ports.installedApplications = installed;
  ports.imageCodec = &codec;
  ports.photoLibrary = &photos;
  ports.camera = &camera;
  ports.settings = &settings;
  Ports::install(ports);
  ScreenHost::install(&host);
  AgentServices services;
  services.pushChannel = &TWIGMQTTClient::sharedMQTTClient();
  services.appControl = [] { return static_cast<AppControl*>(&TWIGManagement::sharedManagement()); };
  AgentServices::install(services);
  ControlReporter controlReporter(notifications, loop, host);
  ScreenCatalog::registerAll(ScreenRegistry::shared());
  CommandCatalog::registerAll(CommandRouter::shared());
  TWIGCache::setTablesToEmptyOnReset(
      {std::make_shared<TWIGAppControlGroupModel>(), std::make_shared<TWGIAppsModel>()});

  if (options.enrollCode) enrolWhenLoginAppears(host, loop, *options.enrollCode);
  // Typed commands walk the screens; they run on the main loop like a tap would.
  ConsoleCommands commands(host);
  ConsoleInput input([&loop, &commands, &host](std::string line) {
    loop.post([&commands, &host, line = std::move(line)] {
      for (const auto& answer : commands.run(line)) host.print(answer);
    });
  });

  std::thread signalWatcher([&loop, stopSignals] {
    int received = 0;
    sigwait(&stopSignals, &received);
    loop.quit();
  });

  AppDelegate delegate;
  loop.post([&] {
    delegate.didFinishLaunching();
    notifications.post(ApplicationEvents::kDidBecomeActive);
  });
  loop.run();
  delegate.applicationWillTerminate();
  // The watcher may still wait for a signal when the loop ended another way; wake it.
  pthread_kill(signalWatcher.native_handle(), SIGTERM);
  signalWatcher.join();
  AgentServices::install({});
  SharedObjects::shutdown();
  ScreenHost::install(nullptr);
  host.print("stopped");
  return 0;
}

}  // namespace twig
