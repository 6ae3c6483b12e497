#pragma once

namespace twig {

// What the application asks of the system around it: push-notification registration, the badge,
// local notifications and the status bar.
class ApplicationShell {
 public:
  virtual ~ApplicationShell() = default;
  // `types`: badge 1 + sound 2 + alert 4.
  virtual void registerForRemoteNotifications(int types) = 0;
  virtual void setBadgeNumber(int number) = 0;
  virtual void cancelAllLocalNotifications() = 0;
  // 1: light content.
  virtual void setStatusBarStyle(int style) = 0;
};

}  // namespace twig
