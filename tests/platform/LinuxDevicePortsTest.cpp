// The Linux process table, battery and gpsd location.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "platform/AtomicFile.h"
#include "platform/linux/GpsdLocationService.h"
#include "platform/linux/LinuxDeviceState.h"
#include "platform/linux/ProcProcessTable.h"
#include "tests/fakes/ManualTime.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

TEST(ProcProcessTable, ListsEveryProcessOnceByItsKernelName) {
  test::TempDir proc;
  const std::vector<std::pair<std::string, std::string>> processes = {
      {"1", "init\n"},
      {"42", "game\n"},
      {"43", "game\n"},
      {"99", std::string("\xE5\x88\xBA\xE7\x8C\xAC\xE5\xAE\xB6\xE5\xAD\xA9\xE5\xAD", 15) + "\n"}};
  for (const auto& [pid, comm] : processes) {
    std::filesystem::create_directories(proc / pid);
    ASSERT_TRUE(AtomicFile::write(proc / pid / "comm", comm));
  }
  std::filesystem::create_directories(proc / "self");
  std::filesystem::create_directories(proc / "7");  // ended before its name was read
  ProcProcessTable table(proc.path());
  auto names = table.runningProcesses();
  ASSERT_TRUE(names);
  std::sort(names->begin(), names->end());
  EXPECT_EQ(*names, (std::vector<std::string>{"game", "game", "init", "刺猬家孩"}));

  EXPECT_FALSE(ProcProcessTable(proc / "missing").runningProcesses().has_value());
  const auto real = ProcProcessTable().runningProcesses();
  ASSERT_TRUE(real);
  EXPECT_NE(std::find(real->begin(), real->end(), "test_platform"), real->end());
}

TEST(ProcProcessTable, ALongNameIsReadInFullWhereTheKernelCutIt) {
  test::TempDir proc;
  auto process = [&](const std::string& pid, const std::string& comm) {
    std::filesystem::create_directories(proc / pid);
    EXPECT_TRUE(AtomicFile::write(proc / pid / "comm", comm + "\n"));
  };
  process("10", "gnome-calculato");  // its executable, by its link
  std::filesystem::create_symlink("/usr/bin/gnome-calculator", proc / "10" / "exe");
  process("11", "org.example.lon");  // no readable link: its first argument
  ASSERT_TRUE(
      AtomicFile::write(proc / "11" / "cmdline", std::string("/opt/app/org.example.longname\0--x\0", 34)));
  process("12", "exactly15bytes!");  // 15 bytes and nothing longer behind it
  std::filesystem::create_symlink("/usr/bin/exactly15bytes!", proc / "12" / "exe");
  process("13", "some-other-name");  // a link to another name (a wrapper) does not replace it
  std::filesystem::create_symlink("/usr/bin/python3.11", proc / "13" / "exe");
  auto names = ProcProcessTable(proc.path()).runningProcesses();
  ASSERT_TRUE(names);
  std::sort(names->begin(), names->end());
  EXPECT_EQ(*names, (std::vector<std::string>{"exactly15bytes!", "gnome-calculator", "org.example.longname",
                                              "some-other-name"}));

  // A real program with a 21-byte name.
  test::TempDir folder;
  const auto program = folder / "twig-test-long-name";
  std::filesystem::copy_file("/bin/sleep", program);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::execl(program.c_str(), program.c_str(), "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool seen = false;
  for (int attempt = 0; attempt < 200 && !seen; ++attempt) {
    const auto real = ProcProcessTable().runningProcesses();
    seen = real && std::find(real->begin(), real->end(), "twig-test-long-name") != real->end();
    if (!seen) std::this_thread::sleep_for(10ms);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(seen);
}

TEST(ProcProcessTable, KeepsTheLongestValidUtf8Prefix) {
  EXPECT_EQ(ProcProcessTable::longestValidUtf8Prefix("plain"), "plain");
  EXPECT_EQ(ProcProcessTable::longestValidUtf8Prefix("ab\xE5\x88"), "ab");
  EXPECT_EQ(ProcProcessTable::longestValidUtf8Prefix("\xFF"), "");
  EXPECT_EQ(ProcProcessTable::longestValidUtf8Prefix("a\xC0\x80"), "a");  // overlong
  EXPECT_EQ(ProcProcessTable::longestValidUtf8Prefix("\xF0\x9F\x98\x80ok"), "\xF0\x9F\x98\x80ok");
}

TEST(LinuxDeviceState, ReadsTheFirstBatteryAndReportsChanges) {
  test::TempDir sys;
  auto supply = [&](const std::string& name, const std::string& type, const std::string& capacity) {
    std::filesystem::create_directories(sys / name);
    AtomicFile::write(sys / name / "type", type + "\n");
    if (!capacity.empty()) AtomicFile::write(sys / name / "capacity", capacity + "\n");
  };
  EXPECT_EQ(LinuxDeviceState::readBattery(sys.path()), -1);
  supply("AC", "Mains", "");
  supply("BAT0", "Battery", "80");
  EXPECT_DOUBLE_EQ(LinuxDeviceState::readBattery(sys.path()), 0.8);

  test::ManualTime time;
  LinuxDeviceState::Options options;
  options.powerSupplies = sys.path();
  options.upower = false;  // this machine's own UPower, if it runs, is not the test's
  LinuxDeviceState state(time.loop(), options);
  std::vector<double> reported;
  state.observeBatteryLevel([&](double level) { reported.push_back(level); });
  std::vector<std::uint64_t> locks;
  state.observeLockState([&](std::uint64_t lock) { locks.push_back(lock); });
  EXPECT_EQ(locks, (std::vector<std::uint64_t>{0})) << "without a login session: unlocked";
  time.advance(60s);
  EXPECT_TRUE(reported.empty()) << "unchanged levels are not reported";
  AtomicFile::write(sys / "BAT0" / "capacity", "79\n");
  time.advance(59s);
  EXPECT_TRUE(reported.empty());
  time.advance(1s);
  EXPECT_EQ(reported, (std::vector<double>{0.79}));
}

// A one-connection gpsd that answers a WATCH with the given lines.
class FakeGpsd {
 public:
  explicit FakeGpsd(std::vector<std::string> lines) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 4);
    thread_ = std::thread([this, lines = std::move(lines)] {
      for (;;) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        char request[256];
        if (::recv(client, request, sizeof request, 0) > 0) {
          for (const auto& line : lines) ::send(client, line.data(), line.size(), MSG_NOSIGNAL);
        }
        std::this_thread::sleep_for(200ms);
        ::close(client);
      }
    });
  }
  ~FakeGpsd() {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    thread_.join();
  }
  std::uint16_t port() const { return port_; }

 private:
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

TEST(GpsdLocationService, ReportsTheFirstFixOfTheDaemon) {
  FakeGpsd gpsd({"{\"class\":\"VERSION\"}\n", "{\"class\":\"TPV\",\"mode\":1}\n",
                 "{\"class\":\"TPV\",\"mode\":\"x\",\"lat\":1,\"lon\":2}\n",
                 "{\"class\":\"TPV\",\"mode\":3,\"lat\":39.9,\"lon\":116.4}\n"});
  GpsdLocationService location("127.0.0.1", gpsd.port(), 5s);
  ASSERT_TRUE(location.isEnabled());
  std::atomic<bool> done{false};
  double latitude = 0;
  double longitude = 0;
  location.startUpdates(
      [&](double lat, double lon) {
        latitude = lat;
        longitude = lon;
        location.stopUpdates();  // as the one-shot fix does, from the report itself
        done = true;
      },
      [&] { done = true; });
  for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_DOUBLE_EQ(latitude, 39.9);
  EXPECT_DOUBLE_EQ(longitude, 116.4);
}

TEST(GpsdLocationService, NoDaemonMeansDisabledAndSilenceMeansFailure) {
  int freePort = 0;
  {
    FakeGpsd gone({});
    freePort = gone.port();
  }
  EXPECT_FALSE(GpsdLocationService("127.0.0.1", static_cast<std::uint16_t>(freePort)).isEnabled());
  FakeGpsd silent({"{\"class\":\"VERSION\"}\n"});
  GpsdLocationService location("127.0.0.1", silent.port(), 1s);
  std::atomic<int> failures{0};
  location.startUpdates([](double, double) {}, [&] { ++failures; });
  for (int i = 0; i < 300 && failures == 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(failures.load(), 1);
}

}  // namespace
}  // namespace twig
