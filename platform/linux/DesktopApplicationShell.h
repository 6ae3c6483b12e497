#pragma once

#include "platform/ApplicationShell.h"

namespace twig {

// A Linux desktop has no push-notification service, badge or status bar for the agent: these
// requests have nothing to act on.
class DesktopApplicationShell final : public ApplicationShell {
 public:
  void registerForRemoteNotifications(int) override {}
  void setBadgeNumber(int) override {}
  void cancelAllLocalNotifications() override {}
  void setStatusBarStyle(int) override {}
};

}  // namespace twig
