#include <gtest/gtest.h>

#include <thread>

#include "api/ApiClient.h"
#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "frame/ScreenRegistry.h"
#include "identity/BindingScreen.h"
#include "identity/ChildIdentity.h"
#include "messaging/CommandRouter.h"
#include "platform/ApplicationEvents.h"
#include "storage/ObjectCache.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

class LoginTest : public ::testing::Test {
 protected:
  LoginTest() {
    ports.useServiceHost(server.hostAndPort());
    home = test::blankScreen("Home");
    ports.screenHost.setRoot(home);
    login = std::make_shared<BindingScreen>(ports.agent().services(), ports.agent().child(),
                                            [this] { log.push_back("didBind"); });
    ports.screenHost.push(login, true);
  }

  void answer(int status, const std::string& body) {
    server.setHandler([status, body](const test::RecordedRequest&) {
      return CannedResponse{status, "application/json", body};
    });
  }
  void confirm(const std::string& code, const std::string& second = "") {
    login->setText1(code);
    login->setText2(second);
    if (!login->isAgreementSelected()) login->chooseButton();
    login->determineButton();
  }
  // Lets the ring start the request, waits for the answer, then lets the closing animations end.
  void finishExchange() {
    ports.time.advance(300ms);
    ports.time.loop().runUntil([&] { return !login->isWaiting(); }, 20s);
    ports.time.advance(1s);
  }
  bool closed() const { return ports.screenHost.topScreen() == home; }

  test::TestHttpServer server;
  test::TestPorts ports;
  std::vector<std::string> log;
  std::shared_ptr<ViewModel> home;
  std::shared_ptr<BindingScreen> login;
};

TEST_F(LoginTest, AnEnrolmentStoresTheParentAndClosesTheScreen) {
  answer(200, R"({"parentDN":"13800000000","parentDeviceId":"parent-device"})");
  EXPECT_EQ(login->title(), "登陆");
  confirm("123456");
  EXPECT_FALSE(login->state()["confirmVisible"].get<bool>());
  finishExchange();

  const auto request = server.requests().at(0);
  EXPECT_EQ(request.path, "/api/v2.0/device/enroll");
  EXPECT_TRUE(request.signatureValid);
  EXPECT_EQ(Json::parse(request.body)["enrollCode"], "123456");
  auto& user = ports.agent().child();
  EXPECT_EQ(user.parentDN(), "13800000000");
  EXPECT_EQ(user.parentDeviceId(), "parent-device");
  EXPECT_TRUE(user.isBound());
  EXPECT_EQ(log, (std::vector<std::string>{"didBind"}));
  EXPECT_TRUE(closed());
  EXPECT_TRUE(ports.screenHost.lines("overlay").empty());
  // The store was told to stop watching: becoming active does nothing any more.
  ports.notifications.post(ApplicationEvents::kDidBecomeActive);
}

TEST_F(LoginTest, AnAnswerWithoutParentStoresEmptyIdentities) {
  ports.agent().child().updateChildInfo([](ChildInfo& info) { info.parentDN = "old"; });
  answer(200, R"({"parentDeviceId":"p"})");
  confirm("1");
  finishExchange();
  EXPECT_EQ(ports.agent().child().parentDN(), "");
  EXPECT_TRUE(closed());
}

TEST_F(LoginTest, AnotherSuccessStatusBindsWithoutStoringIdentities) {
  answer(201, R"({"parentDN":"x","parentDeviceId":"y"})");
  confirm("1");
  finishExchange();
  EXPECT_EQ(ports.agent().child().parentDN(), "");
  EXPECT_TRUE(ports.agent().child().isBound());
  EXPECT_TRUE(closed());
}

TEST_F(LoginTest, RefusalsAndFailuresShowTheirMessageAndKeepTheScreen) {
  const std::vector<std::pair<CannedResponse, std::string>> cases = {
      {{202, "application/json", R"({"errorCode":10101,"errorDescription":"bad"})"},
       "overlay error 您输入的绑定号有误"},
      {{202, "application/json", R"({"errorCode":10102})"}, "overlay error 绑定失败"},
      {{500, "application/json", R"({"errorCode":10101})"}, "overlay error 您输入的绑定号有误"},
      {{500, "text/html", "<h1>oops</h1>"}, "overlay error 绑定失败"},
  };
  for (const auto& [response, message] : cases) {
    server.setHandler([response](const test::RecordedRequest&) { return response; });
    ports.screenHost.clear();
    confirm("42");
    finishExchange();
    EXPECT_EQ(ports.screenHost.lines("overlay"), (std::vector<std::string>{message})) << response.body;
    EXPECT_FALSE(closed());
    EXPECT_TRUE(login->state()["confirmVisible"].get<bool>());
  }
  EXPECT_FALSE(ports.agent().child().isBound());
  EXPECT_TRUE(log.empty());
}

TEST_F(LoginTest, WithoutNetworkItFailsAtOnceExceptForTheDemoCode) {
  ports.agent().api();
  ports.reachability.setStatus(ReachabilityStatus::NotReachable);
  ports.time.settle();
  confirm("123");
  ports.time.advance(1s);
  EXPECT_EQ(ports.screenHost.lines("overlay"), (std::vector<std::string>{"overlay error 绑定失败"}));
  EXPECT_FALSE(closed());

  confirm("739208", "739208");
  ports.time.advance(1s);
  EXPECT_TRUE(ports.screenHost.saw("overlay success 登陆成功"));
  EXPECT_TRUE(ports.agent().child().isBound());
  EXPECT_EQ(ports.agent().child().parentDN(), "");
  EXPECT_EQ(log, (std::vector<std::string>{"didBind"}));
  EXPECT_TRUE(closed());
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(LoginTest, AMissingCodeOrAgreementShakesAndSendsNothing) {
  login->determineButton();
  EXPECT_EQ(login->state()["shake"]["target"], "text1");
  login->setText1("123");
  login->determineButton();
  EXPECT_EQ(login->state()["shake"]["target"], "agreement");
  EXPECT_EQ(login->state()["shake"]["serial"], 2);
  ports.time.advance(2s);
  EXPECT_EQ(server.requestCount(), 0u);
  EXPECT_TRUE(login->state()["confirmVisible"].get<bool>());
}

TEST_F(LoginTest, OneRequestAtATimeAndTheRingRestartsWhenActiveAgain) {
  answer(200, "{}");
  confirm("5");
  login->determineButton();  // unavailable while waiting
  ports.notifications.post(ApplicationEvents::kDidBecomeActive);
  EXPECT_EQ(login->state()["ringRestarts"], 1);
  finishExchange();
  EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(LoginTest, NoConfirmUntilTheButtonIsBackAfterAFailure) {
  answer(202, R"({"errorCode":10102})");
  confirm("42");
  ports.time.advance(300ms);
  ports.time.loop().runUntil([&] { return !login->isWaiting(); }, 20s);
  EXPECT_FALSE(login->state()["confirmVisible"].get<bool>());
  login->determineButton();  // in the 500 ms before the button returns: nothing happens
  EXPECT_FALSE(login->isWaiting());
  finishExchange();
  EXPECT_EQ(server.requestCount(), 1u);
  EXPECT_TRUE(login->state()["confirmVisible"].get<bool>());
  login->determineButton();  // and afterwards it works again
  finishExchange();
  EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(LoginTest, TheAgreementLinkOpensTheAgreement) {
  login->agreementButton();
  const auto agreement = ports.screenHost.topScreen();
  ASSERT_NE(agreement, login);
  EXPECT_EQ(agreement->screenName(), "Setting/ClicenseAgreementID");
  EXPECT_EQ(agreement->title(), "许可协议");
  const std::string page = agreement->state().value("html", "");
  EXPECT_NE(page.find("<h1>刺猬家孩子端许可协议</h1>"), std::string::npos);
  ports.screenHost.pop(true);
  EXPECT_EQ(ports.screenHost.topScreen(), login);
}

TEST_F(LoginTest, BecomingActiveRestartsTheRingAndAPushedCommandOfThatNameDoesNot) {
  answer(200, "{}");
  confirm("5");
  ports.agent().commands().dispatch(R"({"ApplicationDidBecomeActive":{}})", CommandContext{});
  ports.time.settle();
  EXPECT_FALSE(login->state().contains("ringRestarts")) << "a command cannot raise the application's events";
  ports.notifications.post(ApplicationEvents::kDidBecomeActive);
  ports.time.settle();
  EXPECT_EQ(login->state()["ringRestarts"], 1);
  finishExchange();
}

TEST_F(LoginTest, TheSecondFieldTakesTheFocusAndSmallScreensMoveUp) {
  EXPECT_FALSE(login->state().contains("focusedField"));
  ports.time.advance(500ms);
  EXPECT_EQ(login->state()["focusedField"], "text2");
  EXPECT_EQ(login->state()["navigationBarHidden"], true);

  auto values = ports.device.values();
  values.screenHeightPoints = 480;
  ports.device.set(values);
  login->editingBegan();
  EXPECT_EQ(login->state()["viewOffset"], -130);
  login->touchOutside();
  EXPECT_EQ(login->state()["viewOffset"], 0);
  values.screenHeightPoints = 568;
  ports.device.set(values);
  login->editingBegan();
  EXPECT_EQ(login->state()["viewOffset"], -80);
  values.screenHeightPoints = 736;
  ports.device.set(values);
  login->editingBegan();
  EXPECT_EQ(login->state()["viewOffset"], 0);
}

}  // namespace
}  // namespace twig
