#pragma once

#include "platform/Json.h"
#include "platform/Signal.h"

namespace twig {

// What app control tells the rest of the agent, emitted on the main loop by the manager alone.
struct ControlEvents {
  // Programs of groups outside their windows run: the offending groups, each {"groupName",
  // "startTime", "endTime", "apps": [{"appPackage", "appName", "processName"}]}. Every evaluation
  // that finds some tells them again.
  Signal<Json> started;
  // Nothing offends any more.
  Signal<> ended;
  // A group's open window closes within the warning lead while its programs run: {"groupName",
  // "endTime", "minutesLeft", "apps": [names]}. Once per closing; nothing goes to the parent.
  Signal<Json> closingSoon;
};

}  // namespace twig
