#pragma once

#include <string>
#include <vector>

#include "platform/Json.h"
#include "platform/NotificationCenter.h"

namespace twig {

struct ControlEvents;

class DesktopNotifier;
class SpeechSynthesizer;

// Tells the child a few minutes ahead that a group's time is running out while its applications
// run: spoken with the lock screen's voice and shown in the desktop's notification area, once per
// closing window. Nothing goes to the parent. Main loop only (where the notice is posted).
class ControlWarning {
 public:
  static constexpr const char* kSummary = "使用时间快到了";

  ControlWarning(ControlEvents& events, SpeechSynthesizer& speech, DesktopNotifier& desktop);
  ControlWarning(const ControlWarning&) = delete;
  ControlWarning& operator=(const ControlWarning&) = delete;

  // "还有5分钟，王者荣耀、微信就要到管控时间了" for {"minutesLeft": 5, "apps": ["王者荣耀", "微信"]}.
  static std::string text(int minutesLeft, const std::vector<std::string>& apps);

 private:
  void warn(const Json& notice);

  SpeechSynthesizer& speech_;
  DesktopNotifier& desktop_;
  ObserverToken observer_;
};

}  // namespace twig
