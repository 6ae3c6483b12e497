// The about screen and the licence agreement it opens.
#include <gtest/gtest.h>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "frame/ScreenRegistry.h"
#include "frame/ViewModel.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

class InformationScreensTest : public ::testing::Test {
 protected:
  InformationScreensTest() {}
  ScreenPtr openAbout() {
    ports.screenHost.setRoot(test::blankScreen("Home"));
    auto about = ports.agent().screens().make("Setting", "AboutID");
    ports.screenHost.push(about, true);
    return about;
  }
  test::TestPorts ports;
};

TEST_F(InformationScreensTest, TheAboutScreenShowsTheInstalledVersionAndOneRow) {
  auto values = ports.device.values();
  values.shortVersion = "2.7.1";
  ports.device.set(values);
  auto about = openAbout();
  ASSERT_TRUE(about);
  EXPECT_EQ(about->title(), "关于刺猬家");
  EXPECT_EQ(about->state()["labelName"], "刺猬家 2.7.1");
  EXPECT_EQ(about->state()["rows"], Json::array({"许可协议"}));
  EXPECT_EQ(ports.analytics.calls().back(), "begin 助手_关于刺猬家");
}

TEST_F(InformationScreensTest, TheRowOpensTheLicenceAgreementFromTheShippedText) {
  auto about = openAbout();
  EXPECT_TRUE(about->invoke("selectRow", Json{{"row", 1}}));  // no such row: nothing opens
  EXPECT_EQ(ports.screenHost.topScreen(), about);
  about->invoke("selectRow", Json{{"row", 0}});
  auto licence = ports.screenHost.topScreen();
  ASSERT_NE(licence, about);
  EXPECT_EQ(licence->title(), "许可协议");
  const std::string html = licence->state()["html"];
  EXPECT_NE(html.find("<html"), std::string::npos);
  EXPECT_NE(html.find("许可"), std::string::npos);
}

}  // namespace
}  // namespace twig
