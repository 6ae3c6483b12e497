// The app-control decision as a pure function: no database, no clock, no notification.
#include "control/AppControlPolicy.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

using Policy = AppControlPolicy;

Policy::Group group(const std::string& start, const std::string& end, const std::string& week) {
  const Json table = Json::array({Json{{"groupName", "游戏"},
                                       {"startTime", start},
                                       {"endTime", end},
                                       {"week", week},
                                       {"apps", Json::array()}}});
  return Policy::parseTable(table).at(0);
}

int at(int hour, int minute) {
  return hour * 60 + minute;
}

TEST(AppControlPolicy, WhenAGroupIsControlled) {
  struct Case {
    const char* start;
    const char* end;
    const char* week;
    int weekday;
    int minute;
    bool controlled;
  };
  const Case cases[] = {
      {"06:00", "23:00", "1", 1, at(6, 0), true},  // both ends of the window are controlled
      {"06:00", "23:00", "1", 1, at(6, 1), false},
      {"06:00", "23:00", "1", 1, at(22, 59), false},
      {"06:00", "23:00", "1", 1, at(23, 0), true},
      {"06:00", "23:00", "1,2,3,4,5", 0, at(12, 0), true},  // a day not listed: all day
      {"06:00", "23:00", "1, 2", 2, at(12, 0), true},       // " 2" is no day
      {"06:00", "23:00", "1,02", 2, at(12, 0), true},       // nor "02"
      {"06:00", "23:00", "", 3, at(12, 0), true},
      {"22:00", "07:00", "0,1,2,3,4,5,6", 4, at(23, 30), true},  // a window that wraps allows nothing
      {"22:00", "07:00", "0,1,2,3,4,5,6", 4, at(3, 0), true},
      {"later", "23:00", "1", 1, at(12, 0), true},  // unreadable times: all day
      {"0600", "23:00", "1", 1, at(12, 0), true},
      {"06:00:00", "23:00:59", "1", 1, at(12, 0), false},  // seconds are not part of the window
      {"06:00", "25:00", "1", 1, at(23, 59), false},       // an end past midnight is never reached
      {"25:00", "26:00", "1", 1, at(12, 0), true},         // a start past midnight never opens
      {"9:05", "9:10", "6", 6, at(9, 7), false},
      {"00:00", "24:00", "6", 6, at(23, 59), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Policy::isControlled(group(c.start, c.end, c.week), c.weekday, c.minute), c.controlled)
        << c.start << "-" << c.end << " week '" << c.week << "' day " << c.weekday << " minute " << c.minute;
  }
}

TEST(AppControlPolicy, ReadsTimesOfTheFormHoursColonMinutes) {
  // The first two parts around ":", each by its leading digits; nothing only without both.
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"06:00", 360},
      {"9:05", 545},
      {"24:00", 1440},
      {"00:59", 59},
      {"06:00:00", 360},
      {"23:59:59", 1439},
      {"12:3", 723},
      {"1a:00", 60},
      {"12:60", 780},
      {"25:00", 1500},
      {"99999999999:99999999999", 100000 * 60 + 100000},
      {"7", std::nullopt},
      {"", std::nullopt},
      {":00", std::nullopt},
      {"12:", std::nullopt},
      {"a1:00", std::nullopt},
      {" 6:00", std::nullopt},
  };
  for (const auto& [text, minutes] : cases) EXPECT_EQ(Policy::minutesOf(text), minutes) << text;
}

TEST(AppControlPolicy, OnlyRunningApplicationsOfControlledGroupsOffendInTableOrder) {
  const Json table = Json::parse(R"([
    {"groupName": "社交应用", "startTime": "06:00", "endTime": "23:00", "week": "0,1,2,3,4,5,6",
     "apps": [{"appPackage": "com.example.chat", "appName": "Chat", "processName": "chat"}]},
    "not a group",
    {"groupName": "游戏", "startTime": "13:00", "endTime": "14:00", "week": "1",
     "apps": [{"appPackage": "com.example.game", "appName": "Game", "processName": "game"},
              {"appPackage": "com.example.quiet", "appName": "Quiet", "processName": "quiet"},
              {"appPackage": "com.example.card", "appName": "Cards", "processName": "cards"}]},
    {"groupName": "学习", "week": "1", "apps": "none"}
  ])");
  const auto groups = Policy::parseTable(table);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_TRUE(groups[2].apps.empty());

  const std::unordered_set<std::string> running{"chat", "cards", "game", "GAME-helper"};
  // Monday noon: the chat group is open, the games group is outside its window.
  const auto offending = Policy::offendingGroups(groups, running, 1, at(12, 0));
  ASSERT_EQ(offending.size(), 1u);
  EXPECT_EQ(offending[0].group, &groups[1]);
  EXPECT_TRUE(offending[0].today);
  ASSERT_EQ(offending[0].apps.size(), 2u);
  EXPECT_EQ(offending[0].apps[0]->processName, "game");
  EXPECT_EQ(offending[0].apps[1]->processName, "cards");

  // Monday 13:30 both are open; the empty group is controlled but has nothing running.
  EXPECT_TRUE(Policy::offendingGroups(groups, running, 1, at(13, 30)).empty());
  EXPECT_TRUE(Policy::anyControlled(groups, 1, at(13, 30)));  // the empty group, all day without times
  EXPECT_FALSE(Policy::anyControlled({groups[0], groups[1]}, 1, at(13, 30)));
  EXPECT_TRUE(Policy::offendingGroups(groups, {}, 1, at(12, 0)).empty());
}

TEST(AppControlPolicy, TheReportKeepsItsKeysAndValuesInOrder) {
  const auto groups = Policy::parseTable(Json::parse(R"([
    {"groupName": "游戏", "startTime": "06:00", "endTime": "23:00", "week": "2",
     "apps": [{"processName": "game", "appName": "Game", "appPackage": "com.example.game"}]}])"));
  const Json report = Policy::blacklist(Policy::offendingGroups(groups, {"game"}, 1, at(12, 0)));
  EXPECT_EQ(
      report.dump(),
      R"([{"startTime":"06:00","endTime":"23:00","groupName":"游戏","apps":[{"appPackage":"com.example.game",)"
      R"("appName":"Game","processName":"game"}],"today":false}])");
  EXPECT_EQ(Policy::blacklist({}), Json::array());
}

TEST(AppControlPolicy, AWindowClosesWithinTheLeadOnlyWhileItIsOpen) {
  AppControlPolicy::Group group;
  group.days = {1};
  group.startMinute = 8 * 60;
  group.endMinute = 10 * 60;
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 1, 9 * 60 + 54, 5), std::nullopt);
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 1, 9 * 60 + 55, 5), 5);
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 1, 9 * 60 + 59, 5), 1);
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 1, 10 * 60, 5), std::nullopt);      // closed: controlled
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 2, 9 * 60 + 59, 5), std::nullopt);  // controlled all day
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 1, 9 * 60 + 59, 0), std::nullopt);
  group.endMinute.reset();  // unreadable: controlled all day
  EXPECT_EQ(AppControlPolicy::closesWithin(group, 1, 9 * 60 + 59, 5), std::nullopt);
}

}  // namespace
}  // namespace twig
