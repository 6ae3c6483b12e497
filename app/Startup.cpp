#include "app/Startup.h"

#include "app/AgentServices.h"
#include "app/ChildChannelContext.h"
#include "control/AppControl.h"
#include "frame/PlaceholderScreen.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "identity/ChildUser.h"
#include "messaging/PushChannel.h"
#include "platform/ApplicationShell.h"
#include "platform/MainLoop.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"

namespace twig {

Startup::Startup() : alive_(std::make_shared<bool>(true)) {}

Startup::~Startup() = default;

bool Startup::didFinishLaunching() {
  store_ = std::make_unique<StartupSteps>();
  store_->umeng();
  auto& host = port::screenHost();
  host.showWindow();
  // The lock comes before anything that may start app control: a child who starts the computer
  // without the network, while the first screen waits for the service, is locked all the same.
  lockPresenter_ = std::make_unique<LockPresenter>(port::notifications(), port::mainLoop(), host);
  const auto& services = AgentServices::current();
  if (services.pushChannel != nullptr) {
    services.pushChannel->initializeMQTT(ChildChannelContext::make());
    services.pushChannel->startPullMessage();
  }
  store_->registration();
  store_->netWorkReachability();
  // A bound device enforces its app control from the start, not only once a command arrives.
  if (ChildUser::sharedChildUser().isBound()) AgentServices::control();
  host.setRoot(std::make_shared<PlaceholderScreen>());

  std::weak_ptr<bool> alive = alive_;
  store_->configuration([alive](const std::optional<Error>& error) {
    // The first screen is switched in a later turn of the main loop.
    port::mainLoop().post([alive, approved = error.has_value()] {
      if (alive.expired()) return;
      auto screen = approved ? ScreenRegistry::shared().make("HomePage", "HomePageID")
                             : ScreenRegistry::shared().make("Install", "InstallID");
      if (screen) port::screenHost().setRoot(screen);
    });
  });
  return true;
}

void Startup::didRegisterForRemoteNotificationsWithDeviceToken(const std::string& describedToken) {
  store_->saveApnsToken(describedToken);
}

void Startup::clearBadgeAndLocalNotifications() {
  auto& shell = port::applicationShell();
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
  if (auto* control = AgentServices::control()) control->openSelf();
}

}  // namespace twig
