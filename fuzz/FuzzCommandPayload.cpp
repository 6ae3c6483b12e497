// A command payload as the broker delivers it: decoded, named, its body and identifier read, and as
// a control group table evaluated (the table a group change carries).
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "control/AppControlPolicy.h"
#include "control/ControlWarning.h"
#include "messaging/HandlerBase.h"
#include "messaging/CommandDispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace twig;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const CommandDispatch event(text);
  (void)event.eventName();
  const auto payload = event.fetchEventMessagePayload();
  if (!payload) return 0;
  (void)HandlerBase::commandUuid(*payload);
  const Json& body = HandlerBase::commandBody(*payload);
  const Json table = body.contains("apps") ? body["apps"] : *payload;
  const auto groups = AppControlPolicy::parseTable(table.is_array() ? table : Json::array({table}));
  const std::unordered_set<std::string> running = {"game", "chat", ""};
  for (int minute : {0, 359, 360, 1379, 1380, 1439}) {
    for (int weekday = 0; weekday < 7; ++weekday) {
      const auto offending = AppControlPolicy::offendingGroups(groups, running, weekday, minute);
      (void)AppControlPolicy::blacklist(offending);
      for (const auto& closing : AppControlPolicy::closingSoon(groups, running, weekday, minute, 5)) {
        std::vector<std::string> names;
        for (const auto* app : closing.apps) names.push_back(app->appName);
        (void)ControlWarning::text(closing.minutesLeft, names);
      }
    }
  }
  return 0;
}
