// twig-child --headless as a separate process against a loopback service.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "platform/AtomicFile.h"
#include "storage/CacheObject.h"
#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/TempDir.h"
#include "tests/fakes/TestHttpServer.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;

TEST(HeadlessAgent, BindsTheDeviceWithACodeAndPrintsItsScreens) {
  test::TestHttpServer server;
  server.setHandler([](const test::RecordedRequest& request) -> CannedResponse {
    if (request.path == "/api/v2.0/config") return {200, "application/json", R"({"approvalStatus":1})"};
    if (request.path == "/api/v2.0/device/enroll") {
      return {200, "application/json", R"({"parentDN":"13800000000","parentDeviceId":"parent-1"})"};
    }
    return {404, "application/json", "{}"};
  });
  test::TempDir data;
  test::ChildProcess agent(TWIG_CHILD_PATH, {"--headless", "--service-host", server.hostAndPort(),
                                             "--data-dir", data.path().string(), "--enroll-code", "246810"});
  ASSERT_TRUE(agent.waitForLine("screen pop Login/LoginID", 30s)) << "lines so far: " << agent.lines().size();

  // Typed commands walk the screens: the home page's last feature button opens the about screen,
  // whose row opens the licence.
  auto typed = [&agent](const std::string& command, const std::string& answer) {
    return agent.writeLine(command) && agent.waitForLine(answer, 10s);
  };
  EXPECT_TRUE(typed("screens", "screens HomePage/HomePageID"));
  EXPECT_TRUE(typed("tap homePageButton tag=204", "screen push Setting/AboutID"));
  EXPECT_TRUE(typed("show", "show Setting/AboutID labelName=\"刺猬家 1.0.0\""));
  EXPECT_TRUE(typed("tap selectRow row=0", "screen push LicenceScreen"));
  EXPECT_TRUE(typed("tap fly", "error LicenceScreen has no action 'fly'"));
  EXPECT_TRUE(typed("back", "screen pop LicenceScreen"));
  const int status = agent.stop(SIGTERM);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  const auto& lines = agent.lines();
  auto position = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
  };
  EXPECT_LT(position("screen root Placeholder"), position("screen root HomePage/HomePageID"));
  EXPECT_LT(position("screen root HomePage/HomePageID"), position("screen push Login/LoginID"));
  EXPECT_LT(position("screen push Login/LoginID"), position("screen pop Login/LoginID"));
  EXPECT_EQ(lines.back(), "stopped");

  // The configuration, the enrolment, and the home page asking for the balance (when it loads and
  // when it shows again after the binding screen).
  std::vector<std::string> paths;
  std::string enrolmentBody;
  for (const auto& request : server.requests()) {
    EXPECT_TRUE(request.signatureValid) << request.path;
    paths.push_back(request.path);
    if (request.path == "/api/v2.0/device/enroll") enrolmentBody = request.body;
  }
  ASSERT_GE(paths.size(), 3u);
  EXPECT_EQ(paths[0], "/api/v2.0/config");
  EXPECT_EQ(std::count(paths.begin(), paths.end(), "/api/v2.0/device/enroll"), 1);
  EXPECT_GE(std::count_if(paths.begin(), paths.end(),
                          [](const std::string& path) {
                            return path.rfind("/api/v2.0/bills/bonuspoints/statistics/all/device/", 0) == 0;
                          }),
            1);
  const Json enrolment = Json::parse(enrolmentBody);
  EXPECT_EQ(enrolment["enrollCode"], "246810");
  EXPECT_EQ(enrolment["deviceId"].get<std::string>().size(), 32u);

  // The binding and the parent survive in the data folder.
  const auto cache = data / "app" / "Caches" / "twig-child" / "OAKCache";
  EXPECT_EQ(CacheObject::decode(*AtomicFile::read(cache / "binding"))->plain(), Json(true));
  const auto child = CacheObject::decode(*AtomicFile::read(cache / "child_InfoKey"));
  ASSERT_TRUE(child);
  EXPECT_NE(child->encode().find("13800000000"), std::string::npos);
}

TEST(HeadlessAgent, ASecondAgentOnTheSameDataFolderLeavesAtOnce) {
  test::TempDir data;
  const std::vector<std::string> arguments = {"--headless", "--service-host", "127.0.0.1:9", "--data-dir",
                                              data.path().string()};
  test::ChildProcess first(TWIG_CHILD_PATH, arguments);
  ASSERT_TRUE(first.nextLine(30s)) << "the first agent started";
  test::ChildProcess second(TWIG_CHILD_PATH, arguments);
  const int status = second.stop(0);  // ends by itself, at once, or is killed after 10 s
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  first.stop(SIGKILL);  // however it ended, the folder is free again
  test::ChildProcess third(TWIG_CHILD_PATH, arguments);
  EXPECT_TRUE(third.nextLine(30s)) << "the folder's next agent runs";
  EXPECT_EQ(third.stop(SIGTERM), 0);
}

TEST(HeadlessAgent, CommandLineMistakesExitWithTwo) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--no-such-flag"}, {"--mqtt-port", "99999"}, {"--service-host", "a/b"}}) {
    test::ChildProcess agent(TWIG_CHILD_PATH, arguments);
    const int status = agent.stop(0);  // signal 0: just wait for it to end
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2) << arguments[0];
  }
  test::ChildProcess version(TWIG_CHILD_PATH, {"--version"});
  EXPECT_TRUE(version.waitForLine("twig-child 1.0.0", 10s));
  EXPECT_EQ(WEXITSTATUS(version.stop(0)), 0);
}

}  // namespace
}  // namespace twig
