#include <gtest/gtest.h>

#include <thread>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "frame/ScreenRegistry.h"
#include "identity/InstallScreen.h"
#include "messaging/CommandRouter.h"
#include "platform/ApplicationEvents.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

class InstallScreenTest : public ::testing::Test {
 protected:
  InstallScreenTest() {}
  std::shared_ptr<InstallScreen> open() {
    auto screen =
        std::static_pointer_cast<InstallScreen>(ports.agent().screens().make("Install", "InstallID"));
    ports.screenHost.setRoot(screen);
    ports.time.settle();
    return screen;
  }
  void setHeight(double height, InterfaceIdiom idiom = InterfaceIdiom::Phone) {
    auto values = ports.device.values();
    values.screenHeightPoints = height;
    values.idiom = idiom;
    ports.device.set(values);
  }

  test::TestPorts ports;
};

TEST_F(InstallScreenTest, StartsNotInstalledAndFollowsTheLauncherEveryFiveSeconds) {
  auto screen = open();
  EXPECT_EQ(screen->title(), "安装孩子端");
  EXPECT_EQ(screen->state()["label"], "点击“立即安装”并选择安装。");
  EXPECT_EQ(screen->state()["buttonTitle"], "立即安装");
  EXPECT_EQ(screen->state()["buttonBackground"], "#2CBB78");
  EXPECT_EQ(screen->state()["buttonTitleColor"], "#FFFFFF");
  EXPECT_EQ(screen->state()["picture"], "111.gif");
  EXPECT_EQ(screen->state()["pictureOffset"], 200);

  ports.urls.install("children-launcher:");
  ports.time.advance(4s);
  EXPECT_FALSE(screen->isButtonSelected());
  ports.time.advance(1s);
  EXPECT_TRUE(screen->isButtonSelected());
  EXPECT_EQ(screen->state()["label"], "返回桌面，找到“刺猬家-孩子”打开，并点击信任");
  EXPECT_EQ(screen->state()["buttonTitle"], "已安装");
  EXPECT_EQ(screen->state()["buttonBackground"], "#ECEDED");
  EXPECT_EQ(screen->state()["buttonTitleColor"], "#8A8A8A");
  EXPECT_EQ(screen->state()["picture"], "333.gif");
  EXPECT_EQ(screen->state()["pictureOffset"], 10);

  ports.urls.uninstall("children-launcher:");
  ports.time.advance(5s);
  EXPECT_FALSE(screen->isButtonSelected());
  EXPECT_EQ(screen->state()["picture"], "111.gif");
}

TEST_F(InstallScreenTest, TheTimerPausesInTheBackgroundAndFiresOnReturn) {
  auto screen = open();
  ports.notifications.post(ApplicationEvents::kDidEnterBackground);
  ports.urls.install("children-launcher:");
  ports.time.advance(60s);
  EXPECT_FALSE(screen->isButtonSelected());
  ports.notifications.post(ApplicationEvents::kWillEnterForeground);
  ports.time.settle();
  EXPECT_TRUE(screen->isButtonSelected());
  ports.urls.uninstall("children-launcher:");
  ports.time.advance(5s);
  EXPECT_FALSE(screen->isButtonSelected()) << "the timer runs again after the return";
}

TEST_F(InstallScreenTest, APushedCommandNamedLikeALifecycleEventChangesNothing) {
  auto screen = open();
  ports.urls.install("children-launcher:");
  // The application's own events are not commands: a payload carrying their names is unknown.
  for (const char* name : {"ApplicationWillEnterForeground", "ApplicationDidEnterBackground"})
    ports.agent().commands().dispatch(std::string("{\"") + name + "\":{}}", CommandContext{});
  ports.time.settle();
  EXPECT_FALSE(screen->isButtonSelected());
  ports.notifications.post(ApplicationEvents::kWillEnterForeground);
  ports.time.settle();
  EXPECT_TRUE(screen->isButtonSelected()) << "the real event is still followed";
}

TEST_F(InstallScreenTest, InstallOpensTheLinkUntilTheLauncherIsThere) {
  auto screen = open();
  screen->install();
  screen->install();
  const std::string link =
      "itms-services://?action=download-manifest&url=" + ports.settings.launcherManifestUrl;
  EXPECT_EQ(ports.urls.opened(), (std::vector<std::string>{link, link}));
  EXPECT_TRUE(ports.agent().cache().boolForKey("isSelected"));
  ports.time.advance(2500ms);
  EXPECT_EQ(screen->state()["picture"], "333.gif");
  EXPECT_EQ(screen->state()["pictureOffset"], 10);

  ports.urls.install("children-launcher:");
  ports.time.advance(5s);
  screen->install();
  EXPECT_EQ(ports.urls.opened().size(), 2u);
}

TEST_F(InstallScreenTest, ThePictureIsPlacedByScreenHeightAndIdiom) {
  const std::vector<std::pair<double, int>> placements = {
      {480, 10}, {568, 150}, {667, 200}, {736, 250}, {812, 400}};
  for (const auto& [height, offset] : placements) {
    setHeight(height);
    auto screen = open();
    EXPECT_EQ(screen->state()["pictureOffset"], offset) << height;
  }
  setHeight(1024, InterfaceIdiom::Pad);
  auto tablet = open();
  tablet->gif2();
  EXPECT_EQ(tablet->state()["pictureOffset"], 150);
}

TEST_F(InstallScreenTest, LeavingTheScreenStopsItsTimer) {
  {
    auto screen = open();
    ports.screenHost.setRoot(test::blankScreen("Other"));
  }
  ports.time.settle();
  EXPECT_FALSE(ports.time.loop().nextDeadline().has_value());
}

}  // namespace
}  // namespace twig
