// The window with the real screens and a fake service: a child binds the device, sees the home
// page, opens the wallet and goes back, all by taps and typing on the drawn items.
#include <gtest/gtest.h>

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "frame/ScreenRegistry.h"
#include "frame/ViewModel.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "tests/ui/QtPump.h"
#include "ui/FrontEnd.h"
#include "ui/QuickScreenHost.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

QQuickItem* findItem(QQuickItem* item, const QString& name) {
  if (item == nullptr || !item->isVisible()) return nullptr;
  if (item->objectName() == name) return item;
  for (QQuickItem* child : item->childItems()) {
    if (QQuickItem* found = findItem(child, name)) return found;
  }
  return nullptr;
}

Json bill(int number) {
  return Json{{"billId", "b" + std::to_string(number)},
              {"childDeviceId", "d"},
              {"type", 1},
              {"subject", {{"name", "洗碗"}, {"type", 2}, {"iconUrl", ""}, {"subjectId", 1}}},
              {"pictures", nullptr},
              {"comments", Json::array()},
              {"bonuspoint", 5},
              {"status", 1},
              {"createTime", 1462233600000LL},
              {"updateTime", 1462233600000LL},
              {"description", "第" + std::to_string(number) + "次洗碗"}};
}

class TapThroughTest : public ::testing::Test {
 protected:
  TapThroughTest() {
    ports.useServiceHost(server.hostAndPort());
    server.setHandler([](const test::RecordedRequest& request) -> CannedResponse {
      if (request.path == "/api/v2.0/device/enroll")
        return {200, "application/json", R"({"parentDN":"13800000000","parentDeviceId":"parent-device"})"};
      if (request.path.find("/bills/bonuspoints/statistics/") != std::string::npos)
        return {200, "application/json", R"({"total":35})"};
      if (request.path.find("/bills/device/") != std::string::npos)
        return {200, "application/json",
                Json{{"bonuspointsStatistics", {{"total", 35}}}, {"bills", {bill(1), bill(2)}}}.dump()};
      return {404, "application/json", "{}"};
    });
    ui::useProjectFont();
    window = ui::loadWindow(engine, host, 390, 844);
  }

  // Runs the agent's loop and Qt's until `done` holds (real time; manual timers do not move).
  bool pump(const std::function<bool()>& done) { return test::pumpUntil(ports.time, done); }
  QQuickItem* item(const QString& name) { return findItem(window->contentItem(), name); }
  bool shows(const QString& name) {
    return pump([&] { return item(name) != nullptr; });
  }
  void tap(const QString& name) {
    QQuickItem* target = item(name);
    ASSERT_NE(target, nullptr) << name.toStdString();
    // Where it will stay: a new page's items are laid out over a few frames, and a tap aimed
    // before that lands on whatever lies there at first.
    auto centreOf = [&] { return target->mapToScene(QPointF(target->width() / 2, target->height() / 2)); };
    QPointF centre = centreOf();
    for (int still = 0, rounds = 0; still < 3 && rounds < 200; ++rounds) {
      pump([] { return true; });
      QTest::qWait(10);
      const QPointF now = centreOf();
      still = now == centre ? still + 1 : 0;
      centre = now;
    }
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
  }
  void typeText(const std::string& text) {
    for (const char key : text) QTest::keyClick(window, key);
  }
  QString titleShown() {
    QQuickItem* title = item(QStringLiteral("navigationTitle"));
    return title ? title->property("text").toString() : QString();
  }
  std::string topScreen() const {
    auto top = host.topScreen();
    return top ? top->screenName() : "";
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  QuickScreenHost host;
  QQmlApplicationEngine engine;
  QQuickWindow* window = nullptr;
};

TEST_F(TapThroughTest, BindingThenHomeThenTheWalletAndBack) {
  ASSERT_NE(window, nullptr);
  host.setRoot(ports.agent(host).screens().make("HomePage", "HomePageID"));
  // Not bound yet: the binding screen comes over the home page.
  ASSERT_TRUE(pump([&] { return topScreen() == "Login/LoginID"; }));
  ASSERT_TRUE(shows("text2"));
  tap("text2");
  typeText("123456");
  tap("text1");
  typeText("123456");
  tap("agreementTick");
  ASSERT_TRUE(pump([&] { return host.topScreen()->state().value("agreementSelected", false); }));
  tap("confirm");
  ports.time.advance(300ms);  // the ring starts the request
  ASSERT_TRUE(pump([&] { return !host.topScreen()->state().value("waiting", true); }));
  ports.time.advance(1s);  // the closing animation
  ASSERT_TRUE(pump([&] { return topScreen() == "HomePage/HomePageID"; }));
  EXPECT_TRUE(ports.agent(host).control().isMonitoring()) << "binding started app control";

  // The home page with its balance, then the wallet by its button.
  ASSERT_TRUE(pump([&] {
    QQuickItem* balance = item(QStringLiteral("balance"));
    return balance && balance->property("text").toString() == QStringLiteral("35");
  }));
  EXPECT_EQ(titleShown(), QString::fromUtf8("刺猬家"));
  tap("featureQianBao");
  ASSERT_TRUE(pump([&] { return topScreen() == "QianBao/QianBaoID"; }))
      << "overlay " << host.overlayKind().toStdString() << " " << host.overlayText().toStdString()
      << " alert " << host.alert().value("title").toString().toStdString() << " top " << topScreen();
  ASSERT_TRUE(pump([&] {
    QQuickItem* total = item(QStringLiteral("total"));
    return total && total->property("text").toString() == QStringLiteral("35");
  }));
  EXPECT_EQ(titleShown(), QString::fromUtf8("刺猬积分"));

  tap("backButton");
  ASSERT_TRUE(pump([&] { return topScreen() == "HomePage/HomePageID"; }));
  EXPECT_EQ(titleShown(), QString::fromUtf8("刺猬家"));
  EXPECT_EQ(item(QStringLiteral("backButton")), nullptr);
}

}  // namespace
}  // namespace twig
