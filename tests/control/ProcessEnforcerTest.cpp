// Closing offending programs: a minute after the first warning, SIGTERM to the child's own
// processes, SIGKILL ten seconds later for one that stays; never another user's, pid 1 or the agent.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <fstream>

#include "app/Agent.h"
#include "control/AppControlManager.h"
#include "control/ProcessEnforcer.h"
#include "platform/fake/FakeProcessControl.h"
#include "platform/linux/ProcProcessTable.h"
#include "tests/fakes/TestPorts.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

Json blacklist(const std::vector<std::string>& names) {
  Json apps = Json::array();
  for (const auto& name : names) apps.push_back(Json{{"appPackage", "p." + name}, {"processName", name}});
  return Json::array({Json{{"groupName", "游戏"}, {"apps", apps}}});
}

class ProcessEnforcerTest : public ::testing::Test {
 protected:
  ProcessEnforcerTest() {
    processes.table = {{100, 1000, "game"}, {101, 1000, "game"},  {200, 1001, "game"},
                       {1, 1000, "game"},   {4242, 1000, "game"}, {300, 1000, "editor"}};
    ProcessEnforcer::Options options;
    options.logFile = ports.dir / "enforcement.log";
    enforcer = std::make_unique<ProcessEnforcer>(
        ports.agent().controlEvents(), ports.time.loop(), ports.time.clock(), processes,
        [this](const std::string& line) { lines.push_back(line); }, options);
  }
  // The evaluation every 10 seconds while the game runs outside its window.
  void offendFor(Duration span, const std::vector<std::string>& names = {"game"}) {
    for (Duration passed{}; passed < span; passed += 10s) {
      ports.agent().controlEvents().started.notify(blacklist(names));
      ports.time.advance(10s);
    }
  }

  test::TestPorts ports;
  FakeProcessControl processes;
  std::vector<std::string> lines;
  std::unique_ptr<ProcessEnforcer> enforcer;
};

TEST_F(ProcessEnforcerTest, TheChildsOwnProcessesEndAfterTheGraceTimeAndNoOthers) {
  processes.stubborn = {101};
  offendFor(50s);
  EXPECT_TRUE(processes.signals.empty()) << "within the minute after the first warning";
  offendFor(10s);
  ports.agent().controlEvents().started.notify(blacklist({"game"}));
  EXPECT_EQ(processes.signals, (std::vector<std::string>{"TERM 100", "TERM 101"}));
  ports.time.advance(9s);
  EXPECT_EQ(processes.signals.size(), 2u);
  ports.time.advance(1s);
  EXPECT_EQ(processes.signals, (std::vector<std::string>{"TERM 100", "TERM 101", "KILL 101"}));
  EXPECT_EQ(lines, (std::vector<std::string>{"enforce SIGTERM 100 game", "enforce SIGTERM 101 game",
                                             "enforce SIGKILL 101 game"}));
  offendFor(2min);
  EXPECT_EQ(processes.signals.size(), 3u) << "another user's process, pid 1 and the agent stay";
  std::ifstream log(ports.dir / "enforcement.log");
  std::string first;
  std::getline(log, first);
  EXPECT_NE(first.find("SIGTERM 100 game"), std::string::npos) << first;
}

TEST_F(ProcessEnforcerTest, TheEndOfControlStopsWhatWasUnderWayAndTheGraceStartsAgain) {
  processes.stubborn = {100, 101};
  offendFor(60s);
  ports.agent().controlEvents().started.notify(blacklist({"game"}));
  ASSERT_EQ(processes.signals.size(), 2u);
  ports.agent().controlEvents().ended.notify();  // the window opened
  ports.time.advance(20s);
  EXPECT_EQ(processes.signals.size(), 2u) << "no SIGKILL once the program is allowed";
  offendFor(50s);
  EXPECT_EQ(processes.signals.size(), 2u) << "a new minute of grace";
  offendFor(20s, {"editor"});  // only the editor offends now: the game's warning is forgotten
  offendFor(50s);
  EXPECT_EQ(processes.signals.size(), 2u);
}

TEST(ProcProcessControl, ListsOwnersAndEndsAChildProcess) {
  ProcProcessTable table;
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(child, 0);
  bool listed = false;
  for (int attempt = 0; attempt < 100 && !listed; ++attempt) {
    for (const auto& process : table.processes()) {
      if (process.pid == child && process.name == "sleep") {
        listed = true;
        EXPECT_EQ(process.uid, table.currentUser());
      }
    }
    if (!listed) ::usleep(10000);
  }
  EXPECT_TRUE(listed);
  EXPECT_FALSE(table.signal(1, 0)) << "pid 1 is never signalled";
  EXPECT_TRUE(table.signal(child, SIGTERM));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_FALSE(table.signal(child, SIGTERM)) << "gone";
}

}  // namespace
}  // namespace twig
