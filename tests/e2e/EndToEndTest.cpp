// The road of a command end to end, every piece a separate process: the broker, twig-service,
// twig-child --headless and the parent's console twig-parent.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "api/Utils.h"
#include "platform/AtomicFile.h"
#include "platform/Json.h"
#include "platform/SystemClock.h"
#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/MqttPeer.h"
#include "tests/fakes/ServiceProcess.h"
#include "tests/fakes/TempDir.h"
#include "tests/fakes/TestBroker.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

struct ConsoleRun {
  int exitCode = -1;
  std::string output;
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(broker.available()) << "no test broker (TWIG_TEST_BROKER_DIR)";
    service = std::make_unique<test::ServiceProcess>(TWIG_SERVICE_PATH, broker.mqttPort());
    ASSERT_TRUE(service->started());
    // The parents' side must be listening before the device says anything.
    bool listening = false;
    for (auto giveUp = std::chrono::steady_clock::now() + 60s;
         !listening && std::chrono::steady_clock::now() < giveUp;) {
      listening = brokerConnected();
      if (!listening) std::this_thread::sleep_for(200ms);
    }
    ASSERT_TRUE(listening) << "twig-service did not reach the broker";
  }

  bool brokerConnected() {
    httplib::Client client("127.0.0.1", service->port());
    const auto health = client.Get("/admin/health");
    return health && Json::parse(health->body, nullptr, false).value("broker", false);
  }

  ConsoleRun console(std::vector<std::string> arguments, int timeoutSeconds = 30) {
    arguments.insert(arguments.begin(),
                     {"--service", service->hostAndPort(), "--timeout", std::to_string(timeoutSeconds)});
    test::ChildProcess parent(TWIG_PARENT_PATH, arguments);
    ConsoleRun run;
    while (auto line = parent.nextLine(90s)) run.output += *line + "\n";
    const int status = parent.stop(SIGTERM);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  // Sends a command through the console; its printed answer.
  Json send(const std::string& device, const std::vector<std::string>& command) {
    std::vector<std::string> arguments = {"send", device};
    arguments.insert(arguments.end(), command.begin(), command.end());
    const auto run = console(arguments);
    EXPECT_EQ(run.exitCode, 0) << command[0] << ": " << run.output;
    return Json::parse(run.output, nullptr, false);
  }

  // Waits for a message named `name` that the service recorded from `device` after the sequence
  // number `after`; the message's sequence number, or 0 when none came in time.
  std::int64_t waitForMessage(const std::string& device, const std::string& name, std::int64_t after,
                              std::chrono::milliseconds timeout) {
    httplib::Client client("127.0.0.1", service->port());
    client.set_read_timeout(std::chrono::duration_cast<std::chrono::seconds>(timeout) + 5s);
    for (const auto giveUp = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < giveUp;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
      const auto reply = client.Get("/admin/messages?device=" + device + "&after=" + std::to_string(after) +
                                    "&wait=" + std::to_string(std::max<long long>(left.count(), 0)));
      if (!reply) return 0;
      const Json batch = Json::parse(reply->body, nullptr, false);
      if (!batch.is_object() || !batch["messages"].is_array()) return 0;
      for (const auto& message : batch["messages"]) {
        after = std::max(after, message.value("seq", std::int64_t{0}));
        if (message["payload"].is_object() && message["payload"].contains(name)) return after;
      }
    }
    return 0;
  }

  void writeInstalledApps(const Json& records) {
    ASSERT_TRUE(AtomicFile::write(data / "installed.json", records.dump()));
  }

  test::TestBroker broker;
  std::unique_ptr<test::ServiceProcess> service;
  test::TempDir data;
};

// Every answer: one top-level key, then commandUuid, status "Acknowledged", the device's id and the
// time in milliseconds as text, in that order (the location answer has createTime and no status).
void expectEnvelope(const Json& message, const std::string& name, const std::string& device) {
  ASSERT_TRUE(message.is_object()) << name << ": " << message;
  ASSERT_EQ(message.size(), 1u) << message;
  ASSERT_EQ(message.begin().key(), name) << message;
  const Json& body = message.begin().value();
  std::vector<std::string> keys;
  for (auto it = body.begin(); it != body.end(); ++it) keys.push_back(it.key());
  const bool location = name == "ResponseLocation";
  const std::vector<std::string> head =
      location ? std::vector<std::string>{"commandUuid", "createTime", "thisDeviceId"}
               : std::vector<std::string>{"commandUuid", "status", "thisDeviceId", "updateTime"};
  ASSERT_GE(keys.size(), head.size()) << message;
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + static_cast<long>(head.size())), head)
      << message;
  EXPECT_EQ(body["commandUuid"].get<std::string>().size(), 36u) << message;
  EXPECT_EQ(body["thisDeviceId"], device);
  if (!location) {
    EXPECT_EQ(body["status"], "Acknowledged");
  }
  const Json& time = body[location ? "createTime" : "updateTime"];
  ASSERT_TRUE(time.is_string()) << message;
  SystemClock clock;
  const double now = static_cast<double>(Utils::millisecondsSince1970(clock.now()));
  EXPECT_NEAR(Utils::doubleValue(time.get<std::string>()), now, 5 * 60 * 1000.0) << message;
}

TEST_F(EndToEnd, BindsAnswersEveryCommandAndControlsARunningApplication) {
  // A small program running under the executable name the installed list gives the puzzle; the
  // service's catalogue does not know the puzzle, so it starts in the Other group, uncontrolled.
  const auto puzzle = data / "e2e-puzzle";
  std::filesystem::copy_file("/bin/sleep", puzzle);
  test::ChildProcess running(puzzle.string(), {"600"});
  writeInstalledApps(Json::array(
      {{{"bundleId", "org.example.puzzle"}, {"bundleExecutable", "e2e-puzzle"}, {"displayName", "Puzzle"}},
       {{"bundleId", "com.example.game"}, {"bundleExecutable", "e2e-game"}, {"displayName", "Game"}}}));

  const auto code = console({"bind-code"});
  ASSERT_EQ(code.exitCode, 0) << code.output;
  const std::string bindCode = code.output.substr(0, code.output.find('\n'));
  ASSERT_EQ(bindCode.size(), 6u) << code.output;

  test::ChildProcess agent(
      TWIG_CHILD_PATH, {"--headless", "--service-host", service->hostAndPort(), "--mqtt-port",
                        std::to_string(broker.mqttPort()), "--data-dir", (data / "child").string(),
                        "--enroll-code", bindCode, "--installed-apps", (data / "installed.json").string()});
  ASSERT_TRUE(agent.waitForLine("screen pop Login/LoginID", 60s)) << "the device did not bind";

  const Json devices = Json::parse(console({"devices"}).output, nullptr, false);
  ASSERT_EQ(devices["devices"].size(), 1u) << devices;
  const std::string device = devices["devices"][0]["deviceId"];
  EXPECT_TRUE(devices["devices"][0]["bound"].get<bool>());

  expectEnvelope(send(device, {"RequestChildInfo"}), "ResponseChildInfo", device);
  const Json location = send(device, {"RequestLocation"});
  expectEnvelope(location, "ResponseLocation", device);

  // The inventory the device uploaded at launch: the game filed as a game by its category.
  Json apps;
  for (auto giveUp = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < giveUp;) {
    apps = send(device, {"RequestApps"});
    if (apps.contains("ResponseApps") && !apps["ResponseApps"]["appControlGroups"].empty()) break;
    std::this_thread::sleep_for(500ms);
  }
  expectEnvelope(apps, "ResponseApps", device);
  const Json& groups = apps["ResponseApps"]["appControlGroups"];
  auto groupNamed = [&groups](const std::string& name) {
    for (const auto& group : groups) {
      if (group["groupName"] == name) return group;
    }
    return Json();
  };
  ASSERT_FALSE(groupNamed("游戏").is_null()) << apps;
  EXPECT_EQ(groupNamed("游戏")["apps"][0]["appPackage"], "com.example.game") << apps;
  EXPECT_NE(apps.dump().find("org.example.puzzle"), std::string::npos) << apps;

  expectEnvelope(send(device, {"RequestAppsOnekeyControl"}), "ResponseAppsOnekeyControl", device);

  // A newly installed application is reported as an installation.
  writeInstalledApps(Json::array(
      {{{"bundleId", "org.example.puzzle"}, {"bundleExecutable", "e2e-puzzle"}, {"displayName", "Puzzle"}},
       {{"bundleId", "com.example.game"}, {"bundleExecutable", "e2e-game"}, {"displayName", "Game"}},
       {{"bundleId", "com.example.reader"}, {"bundleExecutable", "e2e-reader"}, {"displayName", "Reader"}}}));
  const Json installed = send(device, {"RequestCheckApp"});
  ASSERT_TRUE(installed.contains("EventAppInstall")) << installed;
  EXPECT_EQ(installed["EventAppInstall"]["appPackage"], "com.example.reader");
  EXPECT_EQ(installed["EventAppInstall"]["thisDeviceId"], device);

  EXPECT_EQ(std::count(agent.lines().begin(), agent.lines().end(), "control end"), 0);
  for (const auto& line : agent.lines())
    EXPECT_NE(line.rfind("control start", 0), 0u) << "nothing is controlled yet";

  // The parent moves the puzzle into the games group with a one-minute window that the present
  // minute never falls inside (the bounds are exclusive), so the running puzzle is controlled.
  const auto change = console({"group", device, "游戏", "--start", "00:00", "--end", "00:01", "--week",
                               "0,1,2,3,4,5,6", "--apps", "org.example.puzzle"});
  ASSERT_EQ(change.exitCode, 0) << change.output;
  expectEnvelope(Json::parse(change.output, nullptr, false), "ResponseAppControlGroupChange", device);
  EXPECT_TRUE(agent.waitForLine("control start 游戏: e2e-puzzle;", 30s));
  // The home page covers itself with the lock screen, which lists the puzzle under the games'
  // instruction and says what to close.
  // Whether the agent printed a matching line, so far or within 30 s.
  auto seen = [&agent](const std::function<bool(const std::string&)>& match) {
    const auto giveUp = std::chrono::steady_clock::now() + 30s;
    for (std::size_t checked = 0;;) {
      for (; checked < agent.lines().size(); ++checked) {
        if (match(agent.lines()[checked])) return true;
      }
      if (std::chrono::steady_clock::now() >= giveUp) return false;
      if (!agent.nextLine(500ms)) std::this_thread::sleep_for(50ms);
    }
  };
  auto line = [](const std::string& wanted) {
    return [wanted](const std::string& l) { return l == wanted; };
  };
  EXPECT_TRUE(seen(line("screen present Lock/LockID")));
  EXPECT_TRUE(seen([](const std::string& l) {
    return l.rfind("state Lock/LockID sections=", 0) == 0 &&
           l.find("以下游戏现在不可玩，可玩时段00:00-00:01，请双击HOME键后划走~") != std::string::npos &&
           l.find("\"appName\":\"Puzzle\"") != std::string::npos;
  }));
  EXPECT_TRUE(seen(line("speak 管控时间：请将Puzzle关闭~")));

  // The puzzle ends: so does control, at the next evaluation at the latest, and the lock screen closes.
  running.stop(SIGKILL);
  EXPECT_TRUE(seen(line("control end")));
  EXPECT_TRUE(seen(line("screen dismiss Lock/LockID")));
  // The screen was up for one or two evaluations: one warning each, never more than three.
  const auto spoken =
      std::count(agent.lines().begin(), agent.lines().end(), "speak 管控时间：请将Puzzle关闭~");
  EXPECT_GE(spoken, 1);
  EXPECT_LE(spoken, 3);

  const int status = agent.stop(SIGTERM);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// The wallet walked through the headless agent's typed commands, against the local service: a
// housework claim becomes a bill, the parent approves it, the wallet shows it completed and the
// total moves, and the points then buy play time.
TEST_F(EndToEnd, AClaimedTaskApprovedByTheParentFillsTheWalletAndBuysTime) {
  const auto code = console({"bind-code"});
  ASSERT_EQ(code.exitCode, 0) << code.output;
  const std::string bindCode = code.output.substr(0, code.output.find('\n'));
  test::ChildProcess agent(TWIG_CHILD_PATH, {"--headless", "--service-host", service->hostAndPort(),
                                             "--mqtt-port", std::to_string(broker.mqttPort()), "--data-dir",
                                             (data / "child").string(), "--enroll-code", bindCode});
  ASSERT_TRUE(agent.waitForLine("screen pop Login/LoginID", 60s)) << "the device did not bind";
  const Json devices = Json::parse(console({"devices"}).output, nullptr, false);
  const std::string device = devices["devices"][0]["deviceId"];
  auto typed = [&agent](const std::string& command, const std::string& answer) {
    return agent.writeLine(command) && agent.waitForLine(answer, 30s);
  };
  auto stateLine = [&agent](const std::string& prefix) {
    for (auto it = agent.lines().rbegin(); it != agent.lines().rend(); ++it) {
      if (it->rfind(prefix, 0) == 0) return it->substr(prefix.size());
    }
    return std::string();
  };

  ASSERT_TRUE(typed("tap homePageButton tag=201", "screen push GanJiaWu/GanJiaWuID"));
  ASSERT_TRUE(agent.waitForLine("state GanJiaWu/GanJiaWuID rowHeight=70", 30s));
  for (auto giveUp = std::chrono::steady_clock::now() + 30s;
       stateLine("state GanJiaWu/GanJiaWuID worksList=").size() <= 2 &&
       std::chrono::steady_clock::now() < giveUp;)
    agent.nextLine(500ms);
  const Json works = Json::parse(stateLine("state GanJiaWu/GanJiaWuID worksList="), nullptr, false);
  ASSERT_TRUE(works.is_array() && !works.empty()) << works;
  EXPECT_EQ(works[0]["name"], "洗碗");
  ASSERT_TRUE(typed("tap requestHouseWork row=0", "overlay success 申请成功"));
  ASSERT_TRUE(typed("back", "screen pop GanJiaWu/GanJiaWuID"));

  const Json bills = Json::parse(console({"bills", device}).output, nullptr, false);
  ASSERT_EQ(bills["bills"].size(), 1u) << bills;
  EXPECT_EQ(bills["bills"][0]["status"], 0);
  const auto approved = console({"approve", bills["bills"][0]["billId"].get<std::string>()});
  ASSERT_EQ(approved.exitCode, 0) << approved.output;

  ASSERT_TRUE(typed("tap homePageButton tag=200", "screen push QianBao/QianBaoID"));
  ASSERT_TRUE(agent.waitForLine("state QianBao/QianBaoID total=\"5\"", 30s));
  // The rows come with the same page, just after the total.
  ASSERT_TRUE(agent.waitForLine("state QianBao/QianBaoID empty=null", 30s));
  const Json rows = Json::parse(stateLine("state QianBao/QianBaoID rows="), nullptr, false);
  ASSERT_EQ(rows.size(), 1u) << rows;
  EXPECT_EQ(rows[0]["stamp"], "cwqb_wancheng");
  EXPECT_EQ(rows[0]["points"], "5刺猬币");
  EXPECT_EQ(rows[0]["subjectName"], "洗碗");
  ASSERT_TRUE(typed("back", "screen pop QianBao/QianBaoID"));

  // 3 points a minute: 5 points buy one unit, which costs 3.
  ASSERT_EQ(console({"rule", "--max", "10", "--parities", "1:3"}).exitCode, 0);
  ASSERT_TRUE(typed("tap homePageButton tag=202", "screen push DuiHuan/DuiHuanID"));
  ASSERT_TRUE(agent.waitForLine("state DuiHuan/DuiHuanID date=[\"01\"]", 30s));
  ASSERT_TRUE(typed("tap save", "overlay success 申请成功"));
  const Json after = Json::parse(console({"bills", device}).output, nullptr, false);
  ASSERT_EQ(after["bills"].size(), 2u) << after;
  bool exchanged = false;
  for (const auto& bill : after["bills"])
    exchanged |= bill["bonuspoint"] == -3 && bill["subject"]["name"] == "兑换时间";
  EXPECT_TRUE(exchanged) << after;
}

TEST_F(EndToEnd, TheConsoleTimesOutOnASilentDeviceAndRefusesBadUsage) {
  const auto silent = console({"send", "no-such-device", "RequestChildInfo"}, 2);
  EXPECT_EQ(silent.exitCode, 1) << silent.output;
  EXPECT_EQ(console({"send", "device", "RequestNothing"}).exitCode, 2);
  EXPECT_EQ(console({"group", "device"}).exitCode, 2);
  EXPECT_EQ(console({"approve", "no-such-bill"}).exitCode, 1);
  // The exchange rule: changed, then read back; a rate that cannot be read is bad usage.
  const auto rule = console({"rule", "--max", "8", "--parities", "2:5"});
  EXPECT_EQ(rule.exitCode, 0) << rule.output;
  const Json changed = Json::parse(rule.output, nullptr, false);
  EXPECT_EQ(changed.value("parities", ""), "2:5");
  EXPECT_EQ(changed.value("appUseIntervalMax", ""), "8");
  EXPECT_EQ(Json::parse(console({"rule"}).output, nullptr, false).value("parities", ""), "2:5");
  EXPECT_EQ(console({"rule", "--parities", "2:x"}).exitCode, 2);
  EXPECT_EQ(console({"rule", "--max", "5000"}).exitCode, 2);
  const auto help = console({"send", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("COMMAND"), std::string::npos);
}

TEST_F(EndToEnd, TheWatchEndsWithAFailureWhenTheServiceGoesAway) {
  test::ChildProcess watch(TWIG_PARENT_PATH, {"--service", service->hostAndPort(), "watch", "some-device"});
  // Give the watch time to start waiting on the service.
  std::this_thread::sleep_for(500ms);
  // The service does not sit out the watch's long poll either.
  const int serviceStatus = service->process().stop(SIGTERM);
  EXPECT_TRUE(WIFEXITED(serviceStatus) && WEXITSTATUS(serviceStatus) == 0) << serviceStatus;
  while (watch.nextLine(30s)) {
  }
  // A watch that kept asking a service that is gone would still be running here and be killed.
  const int status = watch.stop(SIGKILL, 0ms);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

// A message built to crash whoever copies it (an array nested 100,000 deep), and one of 8 MiB, both
// queued at QoS 1 on the device's persistent session: each is dropped with one line naming its limit,
// acknowledged (so the broker does not hand it back at the next start), and the same process answers
// the next command.
TEST_F(EndToEnd, HostileMessagesAreDroppedAndTheSameAgentAnswersTheNextCommand) {
  const auto code = console({"bind-code"});
  ASSERT_EQ(code.exitCode, 0) << code.output;
  const std::string bindCode = code.output.substr(0, code.output.find('\n'));
  const std::vector<std::string> arguments = {"--headless",
                                              "--service-host",
                                              service->hostAndPort(),
                                              "--mqtt-port",
                                              std::to_string(broker.mqttPort()),
                                              "--data-dir",
                                              (data / "child").string()};
  auto binding = arguments;
  binding.insert(binding.end(), {"--enroll-code", bindCode});
  auto agent = std::make_unique<test::ChildProcess>(TWIG_CHILD_PATH, binding, /*withErrors=*/true);
  ASSERT_TRUE(agent->waitForLine("screen pop Login/LoginID", 60s)) << "the device did not bind";
  const Json devices = Json::parse(console({"devices"}).output, nullptr, false);
  ASSERT_EQ(devices["devices"].size(), 1u) << devices;
  const std::string device = devices["devices"][0]["deviceId"];
  ASSERT_NE(waitForMessage(device, "EventOnline", 0, 30s), 0);

  const std::string topic = "/ts/20/2/" + device;
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const std::string large = R"({"RequestChildInfo":{"commandUuid":")" + std::string(8u << 20, 'A') + R"("}})";
  {
    test::MqttPeer hostile("/ts/20/1/hostile-e2e", broker.mqttPort());
    ASSERT_TRUE(hostile.publishText(topic, deep, 1, false));
    ASSERT_TRUE(hostile.publishText(topic, large, 1, false));
  }
  ASSERT_TRUE(
      agent->waitForLine("twig: dropped a message on " + topic + ": nested deeper than 64 levels", 30s));
  ASSERT_TRUE(agent->waitForLine("twig: dropped a message of " + std::to_string(large.size()) + " bytes on " +
                                     topic + ": larger than the limit of 262144 bytes",
                                 30s));
  expectEnvelope(send(device, {"RequestChildInfo"}), "ResponseChildInfo", device);
  EXPECT_EQ(::kill(agent->pid(), 0), 0) << "the agent that answered is the one that got the messages";

  // Both were acknowledged: a new process of the same device gets neither again.
  agent.reset();
  agent = std::make_unique<test::ChildProcess>(TWIG_CHILD_PATH, arguments, /*withErrors=*/true);
  expectEnvelope(send(device, {"RequestChildInfo"}), "ResponseChildInfo", device);
  EXPECT_FALSE(
      agent->waitForLine("twig: dropped a message on " + topic + ": nested deeper than 64 levels", 3s));
  for (const auto& line : agent->lines())
    EXPECT_EQ(line.find("dropped a message"), std::string::npos) << line;
}

// A parent must hear that a device was killed. The broker publishes the agent's will the moment its
// socket closes, so "EventOffline" follows a SIGKILL within seconds: right after the binding (the
// connection that was live when the parent became known), after a restart, and after a longer session
// in which the connection was lost and made again.
TEST_F(EndToEnd, AKilledAgentIsAnnouncedOfflineEveryTime) {
  const auto code = console({"bind-code"});
  ASSERT_EQ(code.exitCode, 0) << code.output;
  const std::string bindCode = code.output.substr(0, code.output.find('\n'));
  const std::vector<std::string> arguments = {"--headless",
                                              "--service-host",
                                              service->hostAndPort(),
                                              "--mqtt-port",
                                              std::to_string(broker.mqttPort()),
                                              "--data-dir",
                                              (data / "child").string()};
  std::string device;
  std::int64_t seen = 0;
  auto killAndTimeTheWill = [&](test::ChildProcess& agent, const char* when) {
    agent.stop(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    const std::int64_t offline = waitForMessage(device, "EventOffline", seen, 30s);
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - killed);
    EXPECT_NE(offline, 0) << "no EventOffline within 30 s of a kill " << when;
    EXPECT_LE(took, 10s) << when;
    std::printf("EventOffline %lld ms after a kill %s\n", static_cast<long long>(took.count()), when);
    seen = std::max(seen, offline);
  };

  {
    auto binding = arguments;
    binding.insert(binding.end(), {"--enroll-code", bindCode});
    test::ChildProcess agent(TWIG_CHILD_PATH, binding);
    ASSERT_TRUE(agent.waitForLine("screen pop Login/LoginID", 60s)) << "the device did not bind";
    const Json devices = Json::parse(console({"devices"}).output, nullptr, false);
    ASSERT_EQ(devices["devices"].size(), 1u) << devices;
    device = devices["devices"][0]["deviceId"];
    seen = waitForMessage(device, "EventOnline", 0, 30s);
    ASSERT_NE(seen, 0) << "the bound device did not announce itself";
    killAndTimeTheWill(agent, "right after binding");
  }
  {
    test::ChildProcess agent(TWIG_CHILD_PATH, arguments);
    seen = waitForMessage(device, "EventOnline", seen, 30s);
    ASSERT_NE(seen, 0);
    killAndTimeTheWill(agent, "after a restart");
  }
  {
    // TWIG_E2E_SESSION_SECONDS makes the session as long as wanted; 20 s by default.
    const char* configured = std::getenv("TWIG_E2E_SESSION_SECONDS");
    const auto length =
        std::chrono::seconds(configured != nullptr ? std::max(10, std::atoi(configured)) : 20);
    test::ChildProcess agent(TWIG_CHILD_PATH, arguments);
    seen = waitForMessage(device, "EventOnline", seen, 30s);
    ASSERT_NE(seen, 0);
    const auto start = std::chrono::steady_clock::now();
    bool cut = false;
    while (std::chrono::steady_clock::now() - start < length) {
      expectEnvelope(send(device, {"RequestChildInfo"}), "ResponseChildInfo", device);
      if (!cut && std::chrono::steady_clock::now() - start > length / 2) {
        // The broker drops every connection (the service's too, so this side may miss the agent's
        // new announcement); the commands that follow are answered over the agent's new connection,
        // which must carry the will again.
        EXPECT_NE(broker.control("close_all_connections test").find("Closed"), std::string::npos);
        cut = true;
      }
      std::this_thread::sleep_for(1s);
    }
    EXPECT_TRUE(cut);
    expectEnvelope(send(device, {"RequestChildInfo"}), "ResponseChildInfo", device);
    killAndTimeTheWill(agent, "after a long session");
  }
}

}  // namespace
}  // namespace twig
