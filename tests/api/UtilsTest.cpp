#include "api/Utils.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "platform/fake/ManualClock.h"
#include "tests/fakes/ScopedTimeZone.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

WallTime at(long long seconds, long long micros = 0) {
  return WallTime(std::chrono::seconds(seconds)) + std::chrono::microseconds(micros);
}

// 2016-11-24 00:00:00 UTC.
constexpr long long kDayStartUtc = 1479945600;

TEST(Utils, TimestampIsWholeMillisecondsRoundedToNearest) {
  ManualClock clock(at(1480000000, 1500));
  EXPECT_EQ(Utils::timeToTurnTheTimestamp(clock), "1480000000002");
  clock.setNow(at(1480000000, 1499));
  EXPECT_EQ(Utils::timeToTurnTheTimestamp(clock), "1480000000001");
  clock.setNow(at(1480000000));
  EXPECT_EQ(Utils::timeToTurnTheTimestamp(clock), "1480000000000");
  EXPECT_EQ(Utils::millisecondsSince1970(at(-1, 999500)), 0);
  EXPECT_EQ(Utils::millisecondsSince1970(at(-1, 999400)), -1);
}

TEST(Utils, TimeStampStringIsLocalMinuteText) {
  test::ScopedTimeZone zone("TST-8");
  EXPECT_EQ(Utils::timeStampString(1480000000000LL), "2016-11-24 23:06");
  EXPECT_EQ(Utils::timeStampString("1480000000000"), "2016-11-24 23:06");
  EXPECT_EQ(Utils::timeStampString(" 1480000059999.9xyz"), "2016-11-24 23:07");
  EXPECT_EQ(Utils::timeStampString("not a number"), "1970-01-01 08:00");
  EXPECT_EQ(Utils::timeStampString(Json()), "");
  EXPECT_EQ(Utils::timeStampString(1e300), "");
  test::ScopedTimeZone other("TST+5");
  EXPECT_EQ(Utils::timeStampString(1480000000000LL), "2016-11-24 10:06");
}

TEST(Utils, DayTestsAcrossMidnight) {
  test::ScopedTimeZone zone("TST-8");
  const long long localMidnight = kDayStartUtc - 8 * 3600;  // 2016-11-24 00:00 at UTC+8
  ManualClock clock(at(localMidnight + 86400 - 30));        // 23:59:30 local
  const long long lastMillisecond = (localMidnight + 86400) * 1000 - 1;
  const long long nextMidnight = (localMidnight + 86400) * 1000;
  EXPECT_TRUE(Utils::isToday(lastMillisecond, clock));
  EXPECT_FALSE(Utils::isToday(nextMidnight, clock));
  EXPECT_TRUE(Utils::isToday(localMidnight * 1000, clock));
  EXPECT_TRUE(Utils::isYesterday(localMidnight * 1000 - 1, clock));
  EXPECT_FALSE(Utils::isYesterday(localMidnight * 1000, clock));

  clock.advance(60s);  // 00:00:30 of the next day
  EXPECT_TRUE(Utils::isToday(nextMidnight, clock));
  EXPECT_FALSE(Utils::isToday(lastMillisecond, clock));
  EXPECT_TRUE(Utils::isYesterday(lastMillisecond, clock));
}

TEST(Utils, DayTestsFollowTheTimeZone) {
  ManualClock clock(at(1480000000));  // 15:06:40 UTC
  const long long utc1610 = (kDayStartUtc + 16 * 3600 + 10 * 60) * 1000LL;
  const long long utc0400 = (kDayStartUtc + 4 * 3600) * 1000LL;
  {
    test::ScopedTimeZone east("TST-8");            // now is 23:06 local
    EXPECT_FALSE(Utils::isToday(utc1610, clock));  // 00:10 tomorrow
    EXPECT_TRUE(Utils::isToday(utc0400, clock));   // 12:00 today
    EXPECT_FALSE(Utils::isYesterday(utc0400, clock));
  }
  {
    test::ScopedTimeZone west("TST+5");            // now is 10:06 local
    EXPECT_TRUE(Utils::isToday(utc1610, clock));   // 11:10 today
    EXPECT_FALSE(Utils::isToday(utc0400, clock));  // 23:00 yesterday
    EXPECT_TRUE(Utils::isYesterday(utc0400, clock));
  }
  EXPECT_FALSE(Utils::isToday("garbage", clock));
  EXPECT_FALSE(Utils::isToday(Json::array(), clock));
}

TEST(Utils, OnlyWebAddressesArePicturesToLoad) {
  EXPECT_EQ(Utils::webAddress("http://service/images/1.png"), "http://service/images/1.png");
  EXPECT_EQ(Utils::webAddress("HTTPS://service/1.png"), "HTTPS://service/1.png");
  for (const char* refused : {"file:///etc/shadow", "/home/child/.ssh/id_rsa", "data:image/png;base64,AAAA",
                              "qrc:/art/x.png", "image://provider/x", "javascript:alert(1)", "http://", "",
                              " http://service/1.png", "httpx://service"}) {
    EXPECT_EQ(Utils::webAddress(refused), "") << refused;
  }
}

TEST(Utils, UuidsAreCanonicalUpperCaseVersion4) {
  const std::regex shape("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::string uuid = Utils::getUUIDString();
    ASSERT_EQ(uuid.size(), 36u);
    ASSERT_TRUE(std::regex_match(uuid, shape)) << uuid;
    seen.insert(uuid);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(Utils, ObjectIsNullTellsPresentValuesFromNullAndAbsence) {
  EXPECT_TRUE(Utils::isPresent(std::optional<Json>(Json(""))));
  EXPECT_TRUE(Utils::isPresent(std::optional<Json>(Json(0))));
  EXPECT_FALSE(Utils::isPresent(std::optional<Json>(Json(nullptr))));
  EXPECT_FALSE(Utils::isPresent(std::optional<Json>()));
  const Json object = Json::parse(R"({"a":null,"b":0})");
  EXPECT_FALSE(Utils::isPresent(object.contains("a") ? &object["a"] : nullptr));
  EXPECT_TRUE(Utils::isPresent(object.contains("b") ? &object["b"] : nullptr));
  EXPECT_FALSE(Utils::isPresent(object.contains("c") ? &object["c"] : nullptr));
}

TEST(Utils, JsonTextBothWays) {
  Json message = Json::object();
  message["zeta"] = 1;
  message["alpha"] = "刺猬家";
  message["bad"] = std::string("\xff\xfe");
  const std::string text = Utils::jsonWithObject(message);
  EXPECT_NE(text.find('\n'), std::string::npos);
  EXPECT_NE(text.find("  \"zeta\""), std::string::npos);
  EXPECT_LT(text.find("zeta"), text.find("alpha"));  // order of construction is kept
  EXPECT_NE(text.find("刺猬家"), std::string::npos);

  const auto parsed = Utils::jsonWithString(R"({"b":1,"a":[true]})");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->begin().key(), "b");
  EXPECT_TRUE(Utils::jsonWithString("[1]").has_value());
  for (const char* bad : {"", "{", "not json", "1", "\"text\"", "null", "{\"a\":1} trailing"}) {
    EXPECT_FALSE(Utils::jsonWithString(bad).has_value()) << bad;
  }
}

TEST(Utils, DoubleValueReadsLeadingNumbers) {
  EXPECT_EQ(Utils::doubleValue("  42abc"), 42);
  EXPECT_EQ(Utils::doubleValue("-1.5e3"), -1500);
  EXPECT_EQ(Utils::doubleValue("+7"), 7);
  EXPECT_EQ(Utils::doubleValue("abc"), 0);
  EXPECT_EQ(Utils::doubleValue(""), 0);
}

}  // namespace
}  // namespace twig
