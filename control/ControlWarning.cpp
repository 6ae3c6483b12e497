#include "control/ControlWarning.h"

#include "control/ControlEvents.h"
#include "control/LockGrid.h"
#include "platform/DesktopNotifier.h"
#include "platform/Json.h"
#include "platform/SpeechSynthesizer.h"

namespace twig {

ControlWarning::ControlWarning(ControlEvents& events, SpeechSynthesizer& speech, DesktopNotifier& desktop)
    : speech_(speech),
      desktop_(desktop),
      observer_(events.closingSoon.connect([this](const Json& notice) { warn(notice); })) {}

std::string ControlWarning::text(int minutesLeft, const std::vector<std::string>& apps) {
  std::string names;
  for (const auto& app : apps) names += (names.empty() ? "" : "、") + app;
  return "还有" + std::to_string(minutesLeft) + "分钟，" + names + "就要到管控时间了";
}

void ControlWarning::warn(const Json& notice) {
  if (!notice.is_object()) return;
  const auto minutes = notice.find("minutesLeft");
  const auto apps = notice.find("apps");
  if (minutes == notice.end() || !minutes->is_number_integer() || apps == notice.end() || !apps->is_array())
    return;
  std::vector<std::string> names;
  for (const auto& app : *apps) {
    if (app.is_string()) names.push_back(app.get<std::string>());
  }
  const std::string line = text(minutes->get<int>(), names);
  speech_.speak(line, LockGrid::kVoiceLanguage, LockGrid::kSpeechRate);
  desktop_.notify(kSummary, line);
}

}  // namespace twig
