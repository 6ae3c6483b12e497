// Under a virtual X server (the test runs inside xvfb-run): a control start covers the desktop
// with the lock screen, a full-screen window above another application's window, which refuses to
// close, is on every workspace and comes back on top when covered; the end of control takes it
// away.
#include <gtest/gtest.h>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QRasterWindow>
#include <QSGRendererInterface>
#include <QScreen>
#include <cstdio>
#include <memory>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "control/AppControlManager.h"
#include "control/LockPresenter.h"
#include "frame/ScreenRegistry.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/TestPorts.h"
#include "tests/ui/QtPump.h"
#include "ui/FrontEnd.h"
#include "ui/LockWindowKeeper.h"
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

// Where `window` is in the stacking order (higher is nearer the top); -1 when absent.
long stackingIndex(const QWindow& window) {
  const auto order = stackingOrder();
  const auto at = std::find(order.begin(), order.end(), static_cast<unsigned long>(window.winId()));
  return at == order.end() ? -1 : at - order.begin();
}

// What `xprop` says of a property of `window`.
std::string property(const QWindow& window, const char* name) {
  const std::string command = "xprop -id " + std::to_string(window.winId()) + " " + name;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string text;
  char line[512];
  while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) text += line;
  return text;
}

// Every request sent so far has been handled by the X server (a round trip on Qt's connection).
void syncWithTheServer() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  ASSERT_NE(x11, nullptr);
  xcb_connection_t* connection = x11->connection();
  xcb_flush(connection);
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// What a window manager sends on Alt+F4 or its close button: WM_DELETE_WINDOW.
void askToClose(const QWindow& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  ASSERT_NE(x11, nullptr);
  xcb_connection_t* connection = x11->connection();
  auto intern = [connection](const char* name) {
    auto* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
  };
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window.winId());
  message.type = intern("WM_PROTOCOLS");
  message.data.data32[0] = intern("WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
}

class LockWindowTest : public ::testing::Test {
 protected:
  LockWindowTest() {
    ports.agent(host).cache().setObjectValue(CacheObject(Json(true)), "binding");
    ui::useProjectFont();
  }
  bool pump(const std::function<bool()>& done) { return test::pumpUntil(ports.time, done); }
  // The window with the home page, and the lock over the desktop once control starts.
  QWindow* lockUp() {
    window = ui::loadWindow(engine, host, 390, 844);
    host.setRoot(ports.agent(host).screens().make("HomePage", "HomePageID"));
    if (!pump([] { return true; }) || !lockWindows().empty()) return nullptr;
    ports.agent(host).controlEvents().started.notify(blacklist());
    if (!pump([] { return !lockWindows().empty(); })) return nullptr;
    QWindow* lock = lockWindows().front();
    return pump([&] { return lock->isExposed(); }) ? lock : nullptr;
  }

  test::TestPorts ports;
  QuickScreenHost host;
  LockPresenter presenter{ports.agent(host).controlEvents(), ports.time.loop(), host,
                          ports.agent(host).routes()};
  QQmlApplicationEngine engine;
  QQuickWindow* window = nullptr;
};

TEST_F(LockWindowTest, AControlStartCoversTheDesktopAboveOtherWindowsAndItsEndUncoversIt) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run it inside xvfb-run";
  // Another application's window, already open.
  QRasterWindow other;
  other.resize(400, 300);
  other.show();
  ASSERT_TRUE(pump([&] { return other.isExposed(); }));

  QWindow* lock = lockUp();
  ASSERT_NE(lock, nullptr);
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

  ports.agent(host).controlEvents().ended.notify();
  ASSERT_TRUE(pump([] { return lockWindows().empty(); }))
      << "lock screen still shown: " << (host.lockScreen() != nullptr) << ", windows "
      << lockWindows().size();
  EXPECT_TRUE(other.isVisible());
}

TEST_F(LockWindowTest, ItRefusesToCloseAndIsOnEveryWorkspace) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run it inside xvfb-run";
  QWindow* lock = lockUp();
  ASSERT_NE(lock, nullptr);
  EXPECT_NE(property(*lock, "_NET_WM_DESKTOP").find("= 4294967295"), std::string::npos)
      << property(*lock, "_NET_WM_DESKTOP");
  EXPECT_NE(property(*lock, "_NET_WM_STATE").find("_NET_WM_STATE_STICKY"), std::string::npos)
      << property(*lock, "_NET_WM_STATE");
  auto* keeper = qobject_cast<LockWindowKeeper*>(
      engine.rootContext()->contextProperty(QStringLiteral("lockKeeper")).value<QObject*>());
  ASSERT_NE(keeper, nullptr);
  askToClose(*lock);
  ASSERT_TRUE(pump([&] { return keeper->refusedCloses() >= 1; })) << "the request never arrived";
  ASSERT_EQ(lockWindows().size(), static_cast<std::size_t>(QGuiApplication::screens().size()));
  EXPECT_TRUE(lock->isVisible());
  EXPECT_TRUE(lock->isExposed());
  ASSERT_TRUE(host.coverScreen());
  // Control's end still takes it away.
  ports.agent(host).controlEvents().ended.notify();
  ASSERT_TRUE(pump([] { return lockWindows().empty(); }));
}

TEST_F(LockWindowTest, AWindowRaisedAboveItIsCoveredAgain) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run it inside xvfb-run";
  QWindow* lock = lockUp();
  ASSERT_NE(lock, nullptr);
  QRasterWindow other;
  other.resize(400, 300);
  other.show();
  other.raise();
  other.requestActivate();
  ASSERT_TRUE(pump([&] { return other.isExposed(); }));
  EXPECT_TRUE(pump([&] { return stackingIndex(*lock) > stackingIndex(other); }))
      << "lock at " << stackingIndex(*lock) << ", other at " << stackingIndex(other);
  // Raised again later, by the child or the window itself: above the lock for a moment (nothing
  // runs the keeper until the events are handled), then covered again.
  other.raise();
  syncWithTheServer();
  ASSERT_GT(stackingIndex(other), stackingIndex(*lock)) << "the raise did not reach the server";
  EXPECT_TRUE(pump([&] { return stackingIndex(*lock) > stackingIndex(other); }));
}

}  // namespace
}  // namespace twig

int main(int argc, char** argv) {
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
