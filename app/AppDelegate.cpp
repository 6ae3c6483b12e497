#include "app/AppDelegate.h"

#include "app/AgentServices.h"
#include "app/ChildChannelContext.h"
#include "control/AppControl.h"
#include "frame/PlaceholderViewController.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "identity/TWIGChildUser.h"
#include "messaging/PushChannel.h"
#include "platform/ApplicationShell.h"
#include "platform/MainLoop.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"

namespace twig {

AppDelegate::AppDelegate() : alive_(std::make_shared<bool>(true)) {}

AppDelegate::~AppDelegate() = default;

bool AppDelegate::didFinishLaunching() {
  store_ = std::make_unique<TWIGAppDelegateStore>();
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
  if (TWIGChildUser::sharedChildUser().user_isBinding()) AgentServices::control();
  host.setRoot(std::make_shared<PlaceholderViewController>());

  std::weak_ptr<bool> alive = alive_;
  store_->configuration([alive](const std::optional<TWIGError>& error) {
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

void AppDelegate::didRegisterForRemoteNotificationsWithDeviceToken(const std::string& describedToken) {
  store_->saveApnsToken(describedToken);
}

void AppDelegate::clearBadgeAndLocalNotifications() {
  auto& shell = port::applicationShell();
  shell.setBadgeNumber(0);
  shell.cancelAllLocalNotifications();
}

void AppDelegate::didReceiveRemoteNotification() {
  clearBadgeAndLocalNotifications();
}

void AppDelegate::applicationWillEnterForeground() {
  if (store_) store_->disconnecMQTT();
  clearBadgeAndLocalNotifications();
}

void AppDelegate::applicationWillTerminate() {
  if (auto* control = AgentServices::control()) control->ts_openApplicationWithTessel();
}

}  // namespace twig
