#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Json.h"

namespace twig {

// The decision of app control as a pure function over typed values: which groups are controlled at
// a given local time, and which of them have an application running. The monitoring table is parsed
// once into these values; JSON is made again only for the notification that reports the result.
class AppControlPolicy {
 public:
  struct App {
    std::string appPackage;
    std::string appName;
    std::string processName;
  };
  struct Group {
    std::string groupName;
    std::string startTime;  // as stored, reported back unchanged
    std::string endTime;
    std::vector<int> days;           // day numbers 0 (Sunday) to 6 the window applies to
    std::optional<int> startMinute;  // nothing when the time cannot be read
    std::optional<int> endMinute;
    std::vector<App> apps;
  };
  struct Offending {
    const Group* group;            // points into the groups evaluated
    bool today;                    // the group lists today (else it is controlled all day)
    std::vector<const App*> apps;  // its running applications, in table order (into the group)
  };

  // Minutes since midnight of "HH:mm": hours x 60 + minutes, read from the first two parts around ":"
  // by their leading digits ("06:00:00" is 06:00, "9:5" is 09:05, "25:00" is 1500, which no minute of
  // a day reaches). Nothing when there is no ":" or a part does not start with a digit: such a time
  // controls its group all day.
  static std::optional<int> minutesOf(const std::string& hhmm);
  // The monitoring table ({"groupName", "startTime", "endTime", "week", "apps": [...]} per group);
  // entries that are not objects are left out. A day is listed only as a bare digit "0" to "6".
  static std::vector<Group> parseTable(const Json& table);

  // Whether the group lists the day; a group that does not is controlled all day.
  static bool listsDay(const Group& group, int weekday);
  // Whether the group's applications are controlled at that moment: outside the open window (both
  // ends controlled) on a listed day, all day on other days, and all day when a time is unreadable
  // (the safe reading for a parent).
  static bool isControlled(const Group& group, int weekday, int minute);
  // Whether any group is controlled then (the processes need reading only in that case).
  static bool anyControlled(const std::vector<Group>& groups, int weekday, int minute);
  // The controlled groups with at least one running application, in table order.
  static std::vector<Offending> offendingGroups(const std::vector<Group>& groups,
                                                const std::unordered_set<std::string>& running, int weekday,
                                                int minute);
  // A group whose open window closes within the lead time while some of its applications run.
  struct ClosingSoon {
    const Group* group;
    int minutesLeft;               // 1 up to the lead time
    std::vector<const App*> apps;  // its running applications, in table order
  };
  // Minutes until the group's open window closes, when it is open now on a listed day and closes
  // within `lead` minutes; nothing otherwise (closed, all-day control, or further away).
  static std::optional<int> closesWithin(const Group& group, int weekday, int minute, int lead);
  static bool anyClosingWithin(const std::vector<Group>& groups, int weekday, int minute, int lead);
  // The groups closing within `lead` minutes with at least one running application, in table order.
  static std::vector<ClosingSoon> closingSoon(const std::vector<Group>& groups,
                                              const std::unordered_set<std::string>& running, int weekday,
                                              int minute, int lead);

  // The notification's payload: per group {"startTime", "endTime", "groupName", "apps", "today"}.
  static Json blacklist(const std::vector<Offending>& offending);
};

}  // namespace twig
