// The declared fields of the screens, and the hand-written screen states held against them.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/Json.h"
#include "screens/ScreenShapes.h"

namespace twig {
namespace {

Json shippedFixtures() {
  std::ifstream file(std::string(TWIG_SOURCE_DIR) + "/ui/screenshots/fixtures.json");
  return Json::parse(file, nullptr, false);
}

// What in one fixture's screen (or a screen below it) its view model could never show.
std::vector<std::string> mismatches(const Json& screen) {
  const std::string className = screen.value("className", "");
  const StateShape* shape = screenShapeOf(className);
  if (shape == nullptr) return {"no screen is called " + className};
  return shape->mismatches(screen.value("state", Json::object()));
}

TEST(ScreenShapes, EveryFixtureShowsOnlyFieldsItsScreenDeclares) {
  const Json fixtures = shippedFixtures();
  ASSERT_TRUE(fixtures.is_array());
  ASSERT_GE(fixtures.size(), 14u);
  for (const auto& fixture : fixtures) {
    SCOPED_TRACE(fixture.value("name", ""));
    EXPECT_EQ(mismatches(fixture), std::vector<std::string>{});
    for (const auto& below : fixture.value("below", Json::array()))
      EXPECT_EQ(mismatches(below), std::vector<std::string>{});
  }
}

TEST(ScreenShapes, AFieldNoScreenHasOrOfAnotherKindIsFound) {
  struct Case {
    const char* className;
    Json state;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases{
      {"AboutScreen", {{"labelName", "刺猬家 1.0.0"}, {"rows", Json::array()}}, {}},
      {"AboutScreen", {{"cellIdentifier", "cell_About"}}, {"no field \"cellIdentifier\""}},
      {"WalletScreen", {{"banner", nullptr}, {"total", 5}}, {"\"total\" is text, not number"}},
      {"WalletScreen", {{"rows", Json::object()}}, {"\"rows\" is a list, not object"}},
      {"LockScreen", {{"title", nullptr}, {"gridSide", 360}, {"cellSide", 103.3}}, {}},
      {"HomeScreen", {{"redPoint", "yes"}}, {"\"redPoint\" is a flag, not string"}},
      {"Nowhere", Json::object(), {"no screen is called Nowhere"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state.dump());
    EXPECT_EQ(mismatches(Json{{"className", c.className}, {"state", c.state}}), c.expected);
  }
}

}  // namespace
}  // namespace twig
