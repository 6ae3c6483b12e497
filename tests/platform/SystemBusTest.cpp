// The lock state from logind and the battery from UPower over D-Bus: a private bus (dbus-daemon)
// started by the test, and fakes of both services on it that emit their changes.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/linux/LinuxDeviceState.h"
#include "platform/linux/LogindLockState.h"
#include "tests/fakes/ChildProcess.h"
#include "tests/fakes/ManualTime.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSessionPath = "/org/freedesktop/login1/session/c1";
constexpr const char* kDevicePath = "/org/freedesktop/UPower/devices/DisplayDevice";

// logind and UPower as far as the agent asks them: session "c1" and its LockedHint, the display
// device's IsPresent and Percentage.
class FakeSystemServices {
 public:
  explicit FakeSystemServices(const std::string& address) : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    thread_ = std::thread([this, address] { run(address); });
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 10s, [this] { return ready_; });
  }
  ~FakeSystemServices() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    poke();
    thread_.join();
    ::close(wake_);
  }
  bool ready() const { return ready_; }
  void setLocked(bool locked) {
    {
      std::lock_guard lock(mutex_);
      pending_ = locked;
    }
    poke();
  }
  void setPercentage(double percentage) {
    {
      std::lock_guard lock(mutex_);
      pendingPercentage_ = percentage;
    }
    poke();
  }

 private:
  void poke() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
  }
  static int getSession(sd_bus_message* message, void*, sd_bus_error* error) {
    const char* id = nullptr;
    if (sd_bus_message_read(message, "s", &id) < 0 || id == nullptr || std::strcmp(id, "c1") != 0)
      return sd_bus_error_set(error, "org.freedesktop.login1.NoSuchSession", "no such session");
    return sd_bus_reply_method_return(message, "o", kSessionPath);
  }
  static int lockedHint(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* user,
                        sd_bus_error*) {
    return sd_bus_message_append(reply, "b", static_cast<FakeSystemServices*>(user)->locked_ ? 1 : 0);
  }
  static int isPresent(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                       sd_bus_error*) {
    return sd_bus_message_append(reply, "b", 1);
  }
  static int percentage(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* user,
                        sd_bus_error*) {
    return sd_bus_message_append(reply, "d", static_cast<FakeSystemServices*>(user)->percentage_);
  }
  void run(const std::string& address) {
    static const sd_bus_vtable manager[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("GetSession", "s", "o", getSession, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    static const sd_bus_vtable session[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("LockedHint", "b", lockedHint, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
        SD_BUS_VTABLE_END,
    };
    static const sd_bus_vtable device[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("IsPresent", "b", isPresent, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
        SD_BUS_PROPERTY("Percentage", "d", percentage, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
        SD_BUS_VTABLE_END,
    };
    sd_bus* bus = nullptr;
    bool ok = sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, address.c_str()) >= 0 &&
              sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0 &&
              sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", manager, this) >= 0 &&
              sd_bus_add_object_vtable(bus, nullptr, kSessionPath, "org.freedesktop.login1.Session", session,
                                       this) >= 0 &&
              sd_bus_add_object_vtable(bus, nullptr, kDevicePath, "org.freedesktop.UPower.Device", device,
                                       this) >= 0 &&
              sd_bus_request_name(bus, "org.freedesktop.login1", 0) >= 0 &&
              sd_bus_request_name(bus, "org.freedesktop.UPower", 0) >= 0;
    {
      std::lock_guard lock(mutex_);
      ready_ = ok;
    }
    changed_.notify_all();
    while (ok) {
      std::optional<bool> pending;
      std::optional<double> pendingPercentage;
      {
        std::lock_guard lock(mutex_);
        if (stopping_) break;
        pending.swap(pending_);
        pendingPercentage.swap(pendingPercentage_);
      }
      if (pendingPercentage) {
        percentage_ = *pendingPercentage;
        sd_bus_emit_properties_changed(bus, kDevicePath, "org.freedesktop.UPower.Device", "Percentage",
                                       nullptr);
      }
      if (pending) {
        locked_ = *pending;
        sd_bus_emit_properties_changed(bus, kSessionPath, "org.freedesktop.login1.Session", "LockedHint",
                                       nullptr);
      }
      if (sd_bus_process(bus, nullptr) > 0) continue;
      pollfd fds[2] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0},
                       {wake_, POLLIN, 0}};
      ::poll(fds, 2, 1000);
      std::uint64_t drained = 0;
      [[maybe_unused]] const auto read = ::read(wake_, &drained, sizeof drained);
    }
    sd_bus_flush_close_unref(bus);
  }

  int wake_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ready_ = false;
  bool stopping_ = false;
  std::optional<bool> pending_;
  std::optional<double> pendingPercentage_;
  bool locked_ = false;     // the fake's thread only
  double percentage_ = 55;  // the fake's thread only
};

class SystemBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto line = daemon.nextLine(10s);
    ASSERT_TRUE(line) << "dbus-daemon did not start";
    address = *line;
  }
  test::ChildProcess daemon{"/usr/bin/dbus-daemon", {"--session", "--nofork", "--print-address=1"}};
  std::string address;
};

TEST_F(SystemBusTest, TheFirstStateThenEveryChangeLogindAnnounces) {
  FakeSystemServices logind(address);
  ASSERT_TRUE(logind.ready());
  logind.setLocked(true);
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<bool> seen;
  LogindLockState watcher(
      "c1",
      [&](bool locked) {
        std::lock_guard lock(mutex);
        seen.push_back(locked);
        changed.notify_all();
      },
      address);
  auto waitFor = [&](std::size_t count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 10s, [&] { return seen.size() >= count; });
  };
  ASSERT_TRUE(waitFor(1));
  EXPECT_TRUE(watcher.following());
  logind.setLocked(false);
  ASSERT_TRUE(waitFor(2));
  logind.setLocked(true);
  ASSERT_TRUE(waitFor(3));
  std::lock_guard lock(mutex);
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

TEST_F(SystemBusTest, TheDeviceStateReportsLockChangesOnTheMainLoopOnce) {
  FakeSystemServices logind(address);
  ASSERT_TRUE(logind.ready());
  test::ManualTime time;
  LinuxDeviceState::Options options;
  options.sessionId = "c1";
  options.busAddress = address;
  options.firstLockAnswer = 10s;
  LinuxDeviceState state(time.loop(), options);
  std::vector<std::uint64_t> reports;
  state.observeLockState([&](std::uint64_t locked) { reports.push_back(locked); });
  EXPECT_EQ(reports, (std::vector<std::uint64_t>{0})) << "logind's first answer, at once";
  logind.setLocked(true);
  ASSERT_TRUE(time.loop().runUntil([&] { return reports.size() >= 2; }, 10s));
  logind.setLocked(false);
  ASSERT_TRUE(time.loop().runUntil([&] { return reports.size() >= 3; }, 10s));
  time.loop().runUntil([] { return false; }, 200ms);
  EXPECT_EQ(reports, (std::vector<std::uint64_t>{0, 1, 0})) << "no repeats";
}

TEST_F(SystemBusTest, TheBatteryComesFromUPowerWhereItRuns) {
  FakeSystemServices services(address);
  ASSERT_TRUE(services.ready());
  test::ManualTime time;
  LinuxDeviceState::Options options;
  options.busAddress = address;
  options.powerSupplies = "/nonexistent";  // the folder would say -1
  options.firstBatteryAnswer = 10s;
  LinuxDeviceState state(time.loop(), options);
  std::vector<double> reports;
  state.observeBatteryLevel([&](double level) { reports.push_back(level); });
  EXPECT_DOUBLE_EQ(state.batteryLevel(), 0.55);
  services.setPercentage(54);
  ASSERT_TRUE(time.loop().runUntil([&] { return !reports.empty(); }, 10s));
  EXPECT_DOUBLE_EQ(reports.front(), 0.54);
  EXPECT_DOUBLE_EQ(state.batteryLevel(), 0.54);
  EXPECT_FALSE(time.loop().nextDeadline()) << "no polling timer while UPower tells of changes";
}

TEST_F(SystemBusTest, WithoutLogindOrTheSessionTheScreenCountsAsInUse) {
  test::ManualTime time;
  LinuxDeviceState::Options options;
  options.sessionId = "c1";
  options.busAddress = address;   // a bus where nobody is logind
  options.firstLockAnswer = 10s;  // no logind on the bus: the first report does not wait for it
  LinuxDeviceState state(time.loop(), options);
  std::vector<std::uint64_t> reports;
  state.observeLockState([&](std::uint64_t locked) { reports.push_back(locked); });
  EXPECT_EQ(reports, (std::vector<std::uint64_t>{0}));

  FakeSystemServices logind(address);
  ASSERT_TRUE(logind.ready());
  LogindLockState stranger(
      "c9", [](bool) { ADD_FAILURE() << "no such session"; }, address);
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(stranger.following());
}

}  // namespace
}  // namespace twig
