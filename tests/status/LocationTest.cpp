#include <gtest/gtest.h>

#include <cmath>

#include "app/Agent.h"
#include "identity/ChildIdentity.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using Location = LocationFix::Location;

TEST(CoordinateConversion, PositionsOutsideChinaAreUnchanged) {
  for (const Location place : {Location{50, 10}, Location{40, 72.003}, Location{40, 137.835},
                               Location{0.8292, 110}, Location{55.8272, 110}}) {
    const Location converted = LocationFix::transformToMars(place);
    EXPECT_EQ(converted.latitude, place.latitude);
    EXPECT_EQ(converted.longitude, place.longitude);
  }
}

TEST(CoordinateConversion, PositionsInsideChinaAreShifted) {
  // Beijing: maps in China draw it about 150 m north and 530 m east of its WGS-84 place.
  const Location converted = LocationFix::transformToMars({39.9087, 116.3975});
  EXPECT_GT(converted.latitude - 39.9087, 0.0010);
  EXPECT_LT(converted.latitude - 39.9087, 0.0017);
  EXPECT_GT(converted.longitude - 116.3975, 0.0058);
  EXPECT_LT(converted.longitude - 116.3975, 0.0066);
}

TEST(CoordinateConversion, TheRootTermTakesTheTruncatedX) {
  auto withoutRoot = [](double x, double y) {
    double value = -100.0 + 2.0 * x + 3.0 * y + 0.2 * y * y + 0.1 * x * y;
    value += (20.0 * std::sin(6.0 * x * M_PI) + 20.0 * std::sin(2.0 * x * M_PI)) * 2.0 / 3.0;
    value += (20.0 * std::sin(y * M_PI) + 40.0 * std::sin(y / 3.0 * M_PI)) * 2.0 / 3.0;
    value += (160.0 * std::sin(y / 12.0 * M_PI) + 320.0 * std::sin(y * M_PI / 30.0)) * 2.0 / 3.0;
    return value;
  };
  EXPECT_DOUBLE_EQ(LocationFix::transformLatWithX(-0.5, 3.0), withoutRoot(-0.5, 3.0));  // √0, not √0.5
  EXPECT_DOUBLE_EQ(LocationFix::transformLatWithX(11.7, 3.0), withoutRoot(11.7, 3.0) + 0.2 * std::sqrt(11.0));
  EXPECT_DOUBLE_EQ(LocationFix::transformLatWithX(-11.7, 3.0),
                   withoutRoot(-11.7, 3.0) + 0.2 * std::sqrt(11.0));
  // The root term jumps where the truncated x does: from √3 to 2 at x = 4.
  EXPECT_NEAR(LocationFix::transformLonWithX(4.0, 0) - LocationFix::transformLonWithX(3.99999999, 0),
              0.1 * (2.0 - std::sqrt(3.0)), 1e-4);
}

TEST(LocationFix, LocationOffAnswersZeroAtOnce) {
  test::TestPorts ports;
  ports.location.enabled = false;
  std::vector<std::pair<double, double>> answers;
  ports.agent().location().fetchChildLocationWithComplete(
      [&](double lat, double lng) { answers.emplace_back(lng, lat); });
  EXPECT_EQ(answers, (std::vector<std::pair<double, double>>{{0, 0}}));
  EXPECT_EQ(ports.location.starts(), 0);
}

TEST(LocationFix, EveryRequestWaitingForAFixGetsIt) {
  test::TestPorts ports;
  std::vector<std::string> answers;
  auto& user = ports.agent().location();
  user.fetchChildLocationWithComplete([&](double lat, double lng) {
    answers.push_back("first " + std::to_string(lng) + "," + std::to_string(lat));
  });
  user.fetchChildLocationWithComplete([&](double lat, double lng) {
    answers.push_back("second " + std::to_string(lng) + "," + std::to_string(lat));
  });
  EXPECT_EQ(ports.location.starts(), 1);
  ports.location.deliverFix(50, 10);  // outside China: unchanged
  EXPECT_EQ(answers, (std::vector<std::string>{"first 10.000000,50.000000", "second 10.000000,50.000000"}));
  EXPECT_FALSE(ports.location.isUpdating()) << "one fix, then updates stop";

  user.fetchChildLocationWithComplete([&](double lat, double lng) {
    answers.push_back("third " + std::to_string(lng) + "," + std::to_string(lat));
  });
  ports.location.deliverFailure();
  EXPECT_EQ(answers.back(), "third 0.000000,0.000000");
  EXPECT_EQ(answers.size(), 3u);
}

TEST(LocationFix, AFixThatComesAfterTheAgentEndedReachesNothing) {
  test::TestPorts ports;
  bool answered = false;
  {
    LocationFix fix(ports.location);
    fix.fetchChildLocationWithComplete([&](double, double) { answered = true; });
    ASSERT_TRUE(ports.location.isUpdating());
  }
  EXPECT_FALSE(ports.location.isUpdating()) << "updates that answer through the fix outlive it";
  ports.location.deliverFix(50, 10);
  EXPECT_FALSE(answered);
}

}  // namespace
}  // namespace twig
