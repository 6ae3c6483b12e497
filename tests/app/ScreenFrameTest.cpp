// The screen frame: view-model base, screen host stack, alerts, routing.
#include <gtest/gtest.h>

#include "frame/Alert.h"
#include "frame/PropertyList.h"
#include "frame/Resources.h"
#include "frame/ScreenRegistry.h"
#include "frame/ScreenRoutes.h"
#include "frame/ViewModel.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

const StateShape sampleShape{{"rows", FieldType::List}};

class SampleScreen final : public ViewModel {
 public:
  explicit SampleScreen(std::string name = "SampleScreen") : ViewModel(std::move(name), sampleShape) {
    addAction("rename", [this](const Json& arguments) { setTitle(arguments.value("title", "")); });
    addAction("pick", [this](const Json& arguments) { picked = intArgument(arguments, "row"); });
  }
  int picked = 0;
  int loads = 0;
  int appearances = 0;

 protected:
  void onLoad() override { ++loads; }
  void onWillAppear() override { ++appearances; }
};

class ScreenFrameTest : public ::testing::Test {
 protected:
  test::TestPorts ports;
  test::FakeScreenHost& host = ports.screenHost;
};

TEST_F(ScreenFrameTest, PageViewsAreNamedAfterTheTitleOrTheClass) {
  auto screen = std::make_shared<SampleScreen>();
  EXPECT_EQ(screen->pageName(), "助手_SampleScreen");
  screen->setTitle("登陆");
  EXPECT_EQ(screen->pageName(), "助手_登陆");
  screen->setTitle("");
  EXPECT_EQ(screen->pageName(), "助手_");

  auto untitled = std::make_shared<SampleScreen>("InstallScreen");
  host.setRoot(untitled);
  host.push(screen, true);
  host.pop(true);
  EXPECT_EQ(ports.analytics.calls(),
            (std::vector<std::string>{"begin 助手_InstallScreen", "end 助手_InstallScreen", "begin 助手_",
                                      "end 助手_", "begin 助手_InstallScreen"}));
}

TEST_F(ScreenFrameTest, StateChangesAreToldOnceAndActionsRunByName) {
  auto screen = std::make_shared<SampleScreen>();
  screen->setRouteIdentity("Sample", "SampleID");
  host.setRoot(screen);
  EXPECT_TRUE(screen->invoke("rename", Json{{"title", "刺猬家"}}));
  EXPECT_TRUE(screen->invoke("rename", Json{{"title", "刺猬家"}}));  // same value: no second line
  EXPECT_FALSE(screen->invoke("noSuchAction"));
  EXPECT_EQ(host.lines("state"), (std::vector<std::string>{"state Sample/SampleID title=\"刺猬家\""}));
  // Only declared fields, each with its kind.
  EXPECT_THROW(screen->setState("row", Json::array()), std::logic_error);
  EXPECT_THROW(screen->setState("rows", "none"), std::logic_error);
  EXPECT_THROW(screen->setState("title", 5), std::logic_error);
  EXPECT_EQ(screen->state()["title"], "刺猬家");
}

TEST_F(ScreenFrameTest, RowArgumentsOutsideTheRangeOfIntAreMissingNotWrapped) {
  auto screen = std::make_shared<SampleScreen>();
  const auto pick = [&](const Json& row) {
    screen->invoke("pick", Json{{"row", row}});
    return screen->picked;
  };
  EXPECT_EQ(pick(3), 3);
  EXPECT_EQ(pick("7"), 7);  // typed at the console
  EXPECT_EQ(pick(2.0), 2);
  EXPECT_EQ(pick(4294967296LL), -1);  // would be row 0 once cut to 32 bits
  EXPECT_EQ(pick(18446744073709551615ULL), -1);
  EXPECT_EQ(pick(1e300), -1);
  EXPECT_EQ(pick("abc"), -1);
  EXPECT_EQ(pick("4x"), -1);
  EXPECT_EQ(pick(Json::array()), -1);
  screen->invoke("pick", Json::object());
  EXPECT_EQ(screen->picked, -1);
}

TEST_F(ScreenFrameTest, TheStackLoadsOnceAndShowsTheTopScreen) {
  auto root = std::make_shared<SampleScreen>("Root");
  auto second = std::make_shared<SampleScreen>("Second");
  auto modal = std::make_shared<SampleScreen>("Modal");
  host.showWindow();
  host.setRoot(root);
  host.push(second, true);
  host.present(modal, true);
  EXPECT_EQ(host.topScreen(), modal);
  EXPECT_EQ(host.rootScreen(), root);
  host.dismiss(true);
  EXPECT_EQ(host.topScreen(), second);
  host.pop(true);
  host.pop(true);  // the root stays
  EXPECT_EQ(host.topScreen(), root);
  host.push(second, true);
  host.popToRoot(true);
  EXPECT_EQ(host.lines("screen"),
            (std::vector<std::string>{"screen root Root", "screen push Second", "screen present Modal",
                                      "screen dismiss Modal", "screen pop Second", "screen push Second",
                                      "screen popToRoot Root"}));
  EXPECT_EQ(root->loads, 1);
  EXPECT_EQ(second->loads, 1);
  EXPECT_EQ(root->appearances, 3);
  EXPECT_TRUE(host.saw("window"));
}

TEST_F(ScreenFrameTest, ScreensUnderTheCoverAreMadeButSeenOnlyWhenItGoes) {
  auto placeholder = std::make_shared<SampleScreen>("Placeholder");
  auto lock = std::make_shared<SampleScreen>("Lock");
  auto home = std::make_shared<SampleScreen>("Home");
  auto feature = std::make_shared<SampleScreen>("Feature");
  auto help = std::make_shared<SampleScreen>("Help");
  host.setRoot(placeholder);
  host.presentCover(lock);
  // The first screen, a pushed one and a modal one come and go under the lock.
  host.setRoot(home);
  host.push(feature, true);
  host.pop(true);
  host.present(help, true);
  host.dismiss(true);
  EXPECT_EQ(host.coverScreen(), lock);
  EXPECT_EQ(host.topScreen(), home) << "the cover is not the top of the screens under it";
  EXPECT_EQ(home->loads, 1);
  EXPECT_EQ(home->appearances, 0);
  host.dismissCover(feature.get());  // not the cover: nothing
  EXPECT_EQ(host.coverScreen(), lock);
  host.dismissCover(lock.get());
  EXPECT_EQ(host.coverScreen(), nullptr);
  EXPECT_EQ(home->appearances, 1);
  // Page views pair up: what was seen began and ended once each.
  EXPECT_EQ(ports.analytics.calls(),
            (std::vector<std::string>{"begin 助手_Placeholder", "end 助手_Placeholder", "begin 助手_Lock",
                                      "end 助手_Lock", "begin 助手_Home"}));
  EXPECT_EQ(host.lines("screen"),
            (std::vector<std::string>{"screen root Placeholder", "screen present Lock", "screen root Home",
                                      "screen push Feature", "screen pop Feature", "screen present Help",
                                      "screen dismiss Help", "screen dismiss Lock"}));
}

TEST_F(ScreenFrameTest, AlertsCallTheirOneAttachedAction) {
  auto alert = std::make_shared<Alert>("标题", "", std::vector<std::string>{"确定"});
  alert->show(ports.screenHost);
  EXPECT_EQ(host.openAlert()->title, "标题");
  EXPECT_TRUE(host.clickAlertButton(0));  // nothing attached: nothing happens

  std::vector<std::string> clicks;
  alert->handlerClickedButton([&](int index) { clicks.push_back("first " + std::to_string(index)); });
  alert->handlerClickedButton([&](int index) { clicks.push_back("second " + std::to_string(index)); });
  alert->show(ports.screenHost);
  EXPECT_TRUE(host.clickAlertButton(0));
  EXPECT_EQ(clicks, (std::vector<std::string>{"second 0"}));
  EXPECT_FALSE(host.clickAlertButton(0));  // no alert open any more
}

TEST_F(ScreenFrameTest, TheShippedRoutingListNamesTheHomePageItsButtonsAndTheLockScreen) {
  const auto resource = Resources::find("Routing", "plist");
  ASSERT_TRUE(resource);
  const auto routing = PropertyList::parseXml(*resource);
  ASSERT_TRUE(routing);
  EXPECT_EQ((*routing)["_HomePage"]["storyboardName"], "HomePage");
  EXPECT_EQ((*routing)["_HomePage"]["storyboardID"], "HomePageID");
  EXPECT_TRUE((*routing)["_Lock"]["storyboardID"].is_string());

  ScreenRegistry registry;
  registry.add("HomePage", "HomePageID", [] { return std::make_shared<SampleScreen>("Home"); });
  registry.add("Login", "LoginID", [] { return std::make_shared<SampleScreen>("Login"); });
  const ScreenRoutes routingModule(*routing, registry);
  auto home = routingModule.makeHomeScreen();
  ASSERT_TRUE(home);
  EXPECT_EQ(home->screenName(), "HomePage/HomePageID");
  EXPECT_NE(routingModule.makeHomeScreen(), home);  // a fresh screen each time
  EXPECT_EQ(routingModule.makeBindingScreen()->screenName(), "Login/LoginID");
  EXPECT_FALSE(routingModule.fetchHomePageButtons().empty());
}

TEST_F(ScreenFrameTest, MissingRoutingEntriesAreReportedNotFatal) {
  ScreenRegistry registry;
  const ScreenRoutes empty(Json::object(), registry);
  testing::internal::CaptureStderr();
  EXPECT_EQ(empty.makeHomeScreen(), nullptr);
  EXPECT_EQ(empty.makeLockScreen(), nullptr);
  EXPECT_EQ(empty.fetchServiceAgreement(), nullptr);
  EXPECT_EQ(empty.instantiate(Json::parse(R"({"storyboardName": 3})")), nullptr);
  const std::string reported = testing::internal::GetCapturedStderr();
  EXPECT_NE(reported.find("packaging error: the routing list has no entry '_HomePage'"), std::string::npos);
  EXPECT_NE(reported.find("packaging error: no screen 'ClicenseAgreementID' in storyboard 'Setting'"),
            std::string::npos);
  EXPECT_TRUE(empty.fetchHomePageButtons().is_array());
  const ScreenRoutes notADictionary(Json::array(), registry);
  EXPECT_TRUE(notADictionary.routingData().is_object());
}

TEST(PropertyList, ReadsTheXmlTypesIntoJson) {
  const auto parsed = PropertyList::parseXml(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>a</key><array><string>x</string><integer>7</integer><true/><real>1.5</real></array>
<key>b</key><dict/></dict></plist>)");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*parsed, Json::parse(R"({"a":["x",7,true,1.5],"b":{}})"));
  EXPECT_FALSE(PropertyList::parseXml("<plist><dict><key>a</key>").has_value());
  EXPECT_FALSE(PropertyList::parseXml("").has_value());
}

}  // namespace
}  // namespace twig
