#include "app/Startup.h"

#include "app/Agent.h"
#include "frame/PlaceholderScreen.h"
#include "frame/RouteNames.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "frame/StackScreenHost.h"
#include "identity/ChildIdentity.h"
#include "messaging/PushChannel.h"
#include "platform/ApplicationShell.h"
#include "platform/MainLoop.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"

namespace twig {

Startup::Startup(Agent& agent) : agent_(agent), alive_(std::make_shared<bool>(true)) {}

Startup::~Startup() = default;

bool Startup::didFinishLaunching() {
  store_ = std::make_unique<StartupSteps>(agent_);
  store_->umeng();
  auto& host = agent_.host();
  host.showWindow();
  // The lock comes before anything that may start app control: a child who starts the computer
  // without the network, while the first screen waits for the service, is locked all the same.
  lockPresenter_ =
      std::make_unique<LockPresenter>(agent_.controlEvents(), agent_.ports().mainLoop, host, agent_.routes());
  agent_.channel().initializeMQTT(agent_.channelContext());
  agent_.channel().startPullMessage();
  store_->registration();
  store_->netWorkReachability();
  // A bound device enforces its app control from the start, not only once a command arrives.
  if (agent_.child().isBound()) agent_.control();
  host.setRoot(std::make_shared<PlaceholderScreen>());

  std::weak_ptr<bool> alive = alive_;
  store_->configuration([this, alive](const std::optional<Error>& error) {
    // The first screen is switched in a later turn of the main loop.
    agent_.ports().mainLoop.post([this, alive, approved = error.has_value()] {
      if (alive.expired()) return;
      auto screen = approved ? agent_.screens().make(routes::kHome) : agent_.screens().make(routes::kInstall);
      if (screen) agent_.host().setRoot(screen);
    });
  });
  return true;
}

void Startup::didRegisterForRemoteNotificationsWithDeviceToken(const std::string& describedToken) {
  store_->saveApnsToken(describedToken);
}

void Startup::clearBadgeAndLocalNotifications() {
  auto& shell = agent_.ports().applicationShell;
  shell.setBadgeNumber(0);
  shell.cancelAllLocalNotifications();
}

void Startup::didReceiveRemoteNotification() {
  clearBadgeAndLocalNotifications();
}

void Startup::applicationWillEnterForeground() {
  if (store_) store_->reconnectPushChannel();
  clearBadgeAndLocalNotifications();
}

void Startup::applicationWillTerminate() {
  if (agent_.hasControl()) agent_.control().openSelf();
}

}  // namespace twig
