// Under a virtual X server (the test runs inside xvfb-run): a control start covers the desktop
// with the lock screen, a full-screen window above another application's window; the end of
// control takes it away.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QRasterWindow>
#include <QSGRendererInterface>
#include <QScreen>
#include <cstdio>
#include <memory>

#include "app/ScreenCatalog.h"
#include "control/TWIGManagement.h"
#include "frame/ScreenRegistry.h"
#include "storage/TWIGCache.h"
#include "tests/fakes/TestPorts.h"
#include "tests/ui/QtPump.h"
#include "ui/FrontEnd.h"
#include "ui/QuickScreenHost.h"

namespace twig {
namespace {

Json blacklist() {
  return Json::array(
      {Json{{"startTime", "06:00"},
            {"endTime", "20:00"},
            {"groupName", "游戏"},
            {"today", true},
            {"apps", {{{"appPackage", "p.game"}, {"appName", "Game"}, {"processName", "game"}}}}}});
}

std::vector<QWindow*> lockWindows() {
  std::vector<QWindow*> found;
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    if (window->objectName() == QStringLiteral("lockWindow") && window->isVisible()) found.push_back(window);
  }
  return found;
}

// The X server's top-level windows, bottom first, as `xwininfo` lists the root's children.
std::vector<unsigned long> stackingOrder() {
  std::vector<unsigned long> order;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen("xwininfo -root -children", "r"), pclose);
  if (!pipe) return order;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    unsigned long id = 0;
    if (std::sscanf(line, " 0x%lx", &id) == 1) order.push_back(id);
  }
  // xwininfo names the topmost child first.
  std::reverse(order.begin(), order.end());
  return order;
}

class LockWindowTest : public ::testing::Test {
 protected:
  bool pump(const std::function<bool()>& done) { return test::pumpUntil(ports.time, done); }
  test::TestPorts ports;
};

TEST_F(LockWindowTest, AControlStartCoversTheDesktopAboveOtherWindowsAndItsEndUncoversIt) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run it inside xvfb-run";
  // Another application's window, already open.
  QRasterWindow other;
  other.resize(400, 300);
  other.show();
  ASSERT_TRUE(pump([&] { return other.isExposed(); }));

  ScreenCatalog::registerAll(ScreenRegistry::shared());
  TWIGCache::setObjectValue(CacheObject(Json(true)), "binding");
  QuickScreenHost host;
  ScreenHost::install(&host);
  ui::useProjectFont();
  QQmlApplicationEngine engine;
  ui::loadWindow(engine, host, 390, 844);
  host.setRoot(ScreenRegistry::shared().make("HomePage", "HomePageID"));
  ASSERT_TRUE(pump([] { return true; }));
  EXPECT_TRUE(lockWindows().empty());

  ports.notifications.post(TWIGManagement::kControlStart, blacklist());
  ASSERT_TRUE(pump([] { return !lockWindows().empty(); }));
  QWindow* lock = lockWindows().front();
  ASSERT_TRUE(pump([&] { return lock->isExposed(); }));
  EXPECT_EQ(lockWindows().size(), static_cast<std::size_t>(QGuiApplication::screens().size()));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(lock->geometry(), screen);
  EXPECT_EQ(lock->visibility(), QWindow::FullScreen);
  EXPECT_TRUE(lock->flags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(lock->flags() & Qt::WindowStaysOnTopHint);
  // Above the other window in the X server's stacking order.
  const auto order = stackingOrder();
  const auto lockAt = std::find(order.begin(), order.end(), static_cast<unsigned long>(lock->winId()));
  const auto otherAt = std::find(order.begin(), order.end(), static_cast<unsigned long>(other.winId()));
  ASSERT_NE(lockAt, order.end());
  ASSERT_NE(otherAt, order.end());
  EXPECT_GT(lockAt - order.begin(), otherAt - order.begin());

  ports.notifications.post(TWIGManagement::kControlEnd);
  ASSERT_TRUE(pump([] { return lockWindows().empty(); }))
      << "lock screen still shown: " << (host.lockScreen() != nullptr) << ", windows "
      << lockWindows().size();
  EXPECT_TRUE(other.isVisible());
  ScreenHost::install(nullptr);
}

}  // namespace
}  // namespace twig

int main(int argc, char** argv) {
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
