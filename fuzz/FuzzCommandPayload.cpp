// A command payload as the broker delivers it: decoded once into its name, identifier and body, and as
// a control group table evaluated (the table a group change carries).
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "control/AppControlPolicy.h"
#include "control/ControlWarning.h"
#include "messaging/Command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace twig;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto command = Command::decode(text);
  if (!command) return 0;
  const Json& body = command->body();
  const Json table = body.contains("apps") ? body["apps"] : command->payload;
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
