#pragma once

namespace twig {

class AppControl;
class PushChannel;

// The subsystems the application frame calls into, installed by the executable next to the ports.
// Either may be absent (a build or test without it): calls to it are then skipped.
struct AgentServices {
  PushChannel* pushChannel = nullptr;
  AppControl* appControl = nullptr;

  static void install(const AgentServices& services);
  static const AgentServices& current();
};

}  // namespace twig
