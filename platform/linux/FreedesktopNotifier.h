#pragma once

#include <mutex>
#include <string>

#include "platform/DesktopNotifier.h"
#include "platform/linux/SdBus.h"

namespace twig {

// The freedesktop notification service of the session (org.freedesktop.Notifications, which every
// desktop's notification area provides) over sd-bus. The bus is reached on the first notice and
// again after it failed, so a session bus that comes up after the agent still gets them.
class FreedesktopNotifier final : public DesktopNotifier {
 public:
  // `busAddress` empty: the session bus of this process's environment.
  explicit FreedesktopNotifier(std::string busAddress = {}, std::string applicationName = "twig-child");
  bool notify(const std::string& summary, const std::string& body) override;

 private:
  std::string busAddress_;
  std::string applicationName_;
  std::mutex mutex_;
  sdbus::Bus bus_;
};

}  // namespace twig
