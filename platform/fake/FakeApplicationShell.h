#pragma once

#include "platform/ApplicationShell.h"
#include "platform/fake/CallRecorder.h"

namespace twig {

// Records the requests as lines ("register 7", "badge 0", "cancelLocal", "statusBar 1").
class FakeApplicationShell final : public ApplicationShell, public CallRecorder {
 public:
  void registerForRemoteNotifications(int types) override { record("register " + std::to_string(types)); }
  void setBadgeNumber(int number) override { record("badge " + std::to_string(number)); }
  void cancelAllLocalNotifications() override { record("cancelLocal"); }
  void setStatusBarStyle(int style) override { record("statusBar " + std::to_string(style)); }
};

}  // namespace twig
