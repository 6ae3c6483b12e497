#pragma once

#include <memory>
#include <string>

#include "app/StartupSteps.h"
#include "control/LockPresenter.h"

namespace twig {

class Agent;

// The application's reactions to its lifecycle: the launch order of the services, the first screen
// chosen by the configuration answer, the push token, the return to the foreground and termination.
// Main loop only.
class Startup {
 public:
  explicit Startup(Agent& agent);
  ~Startup();
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;

  bool didFinishLaunching();
  void didRegisterForRemoteNotificationsWithDeviceToken(const std::string& describedToken);
  void didReceiveRemoteNotification();
  void applicationWillEnterForeground();
  void applicationWillTerminate();
  void applicationWillResignActive() {}
  void applicationDidEnterBackground() {}
  void applicationDidBecomeActive() {}

  StartupSteps* store() const { return store_.get(); }
  // Made at launch, before app control can start.
  LockPresenter* lockPresenter() const { return lockPresenter_.get(); }

 private:
  void clearBadgeAndLocalNotifications();

  Agent& agent_;
  std::unique_ptr<StartupSteps> store_;
  std::unique_ptr<LockPresenter> lockPresenter_;
  // Set while this delegate lives; the launch completion runs only then.
  std::shared_ptr<bool> alive_;
};

}  // namespace twig
