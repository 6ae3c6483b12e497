#include "control/AppControlPolicy.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "api/Utils.h"

namespace twig {

namespace {

// The number a part of a time starts with; nothing when it starts with no digit. Growth stops far
// beyond any time of day, so no text can overflow it.
std::optional<int> leadingNumber(std::string_view part) {
  if (part.empty() || part[0] < '0' || part[0] > '9') return std::nullopt;
  int value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') break;
    value = std::min(value * 10 + (c - '0'), 100000);
  }
  return value;
}

}  // namespace

std::optional<int> AppControlPolicy::minutesOf(const std::string& hhmm) {
  const std::string_view text(hhmm);
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view rest = text.substr(colon + 1);
  const auto hours = leadingNumber(text.substr(0, colon));
  const auto minutes = leadingNumber(rest.substr(0, rest.find(':')));
  if (!hours || !minutes) return std::nullopt;
  return *hours * 60 + *minutes;
}

std::vector<AppControlPolicy::Group> AppControlPolicy::parseTable(const Json& table) {
  std::vector<Group> groups;
  if (!table.is_array()) return groups;
  for (const auto& entry : table) {
    if (!entry.is_object()) continue;
    Group group;
    group.groupName = Utils::stringValue(entry, "groupName");
    group.startTime = Utils::stringValue(entry, "startTime");
    group.endTime = Utils::stringValue(entry, "endTime");
    group.startMinute = minutesOf(group.startTime);
    group.endMinute = minutesOf(group.endTime);
    std::stringstream days(Utils::stringValue(entry, "week"));
    for (std::string day; std::getline(days, day, ',');) {
      // Compared as text with the day's number: " 2" or "02" is no day.
      if (day.size() == 1 && day[0] >= '0' && day[0] <= '6') group.days.push_back(day[0] - '0');
    }
    const auto apps = entry.find("apps");
    if (apps != entry.end() && apps->is_array()) {
      for (const auto& app : *apps) {
        group.apps.push_back({Utils::stringValue(app, "appPackage"), Utils::stringValue(app, "appName"),
                              Utils::stringValue(app, "processName")});
      }
    }
    groups.push_back(std::move(group));
  }
  return groups;
}

bool AppControlPolicy::listsDay(const Group& group, int weekday) {
  return std::find(group.days.begin(), group.days.end(), weekday) != group.days.end();
}

bool AppControlPolicy::isControlled(const Group& group, int weekday, int minute) {
  if (!listsDay(group, weekday)) return true;
  if (!group.startMinute || !group.endMinute) return true;
  return !(*group.startMinute < minute && minute < *group.endMinute);
}

bool AppControlPolicy::anyControlled(const std::vector<Group>& groups, int weekday, int minute) {
  return std::any_of(groups.begin(), groups.end(),
                     [&](const Group& group) { return isControlled(group, weekday, minute); });
}

std::vector<AppControlPolicy::Offending> AppControlPolicy::offendingGroups(
    const std::vector<Group>& groups, const std::unordered_set<std::string>& running, int weekday,
    int minute) {
  std::vector<Offending> offending;
  for (const auto& group : groups) {
    if (!isControlled(group, weekday, minute)) continue;
    Offending entry{&group, listsDay(group, weekday), {}};
    for (const auto& app : group.apps) {
      if (running.count(app.processName) > 0) entry.apps.push_back(&app);
    }
    if (!entry.apps.empty()) offending.push_back(std::move(entry));
  }
  return offending;
}

std::optional<int> AppControlPolicy::closesWithin(const Group& group, int weekday, int minute, int lead) {
  if (lead <= 0 || isControlled(group, weekday, minute)) return std::nullopt;
  const int left = *group.endMinute - minute;  // open: both ends are readable
  if (left > lead) return std::nullopt;
  return left;
}

bool AppControlPolicy::anyClosingWithin(const std::vector<Group>& groups, int weekday, int minute, int lead) {
  return std::any_of(groups.begin(), groups.end(), [&](const Group& group) {
    return closesWithin(group, weekday, minute, lead).has_value();
  });
}

std::vector<AppControlPolicy::ClosingSoon> AppControlPolicy::closingSoon(
    const std::vector<Group>& groups, const std::unordered_set<std::string>& running, int weekday, int minute,
    int lead) {
  std::vector<ClosingSoon> closing;
  for (const auto& group : groups) {
    const auto left = closesWithin(group, weekday, minute, lead);
    if (!left) continue;
    ClosingSoon entry{&group, *left, {}};
    for (const auto& app : group.apps) {
      if (running.count(app.processName) > 0) entry.apps.push_back(&app);
    }
    if (!entry.apps.empty()) closing.push_back(std::move(entry));
  }
  return closing;
}

Json AppControlPolicy::blacklist(const std::vector<Offending>& offending) {
  Json result = Json::array();
  for (const auto& entry : offending) {
    Json apps = Json::array();
    for (const App* app : entry.apps) {
      // Member by member: an initialiser list would copy every value twice, on every tick.
      Json record = Json::object();
      record["appPackage"] = app->appPackage;
      record["appName"] = app->appName;
      record["processName"] = app->processName;
      apps.push_back(std::move(record));
    }
    Json group = Json::object();
    group["startTime"] = entry.group->startTime;
    group["endTime"] = entry.group->endTime;
    group["groupName"] = entry.group->groupName;
    group["apps"] = std::move(apps);
    group["today"] = entry.today;
    result.push_back(std::move(group));
  }
  return result;
}

}  // namespace twig
