#pragma once

#include <functional>

namespace twig {

class AppControl;
class PushChannel;

// The subsystems the application frame calls into, installed by the executable next to the ports.
// Either may be absent (a build or test without it): calls to it are then skipped.
struct AgentServices {
  PushChannel* pushChannel = nullptr;
  // The app-control manager, made on first use (making it starts its work).
  std::function<AppControl*()> appControl;

  static void install(const AgentServices& services);
  static const AgentServices& current();
  // The app-control manager (made now if need be), or null without one.
  static AppControl* control();
  // The device has just been bound: app control starts, and the push channel learns the new parent
  // and announces the device online to it.
  static void didBind();
};

}  // namespace twig
