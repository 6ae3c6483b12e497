// Notices in the desktop's notification area: a private session bus (dbus-daemon) and a fake of
// the notification service on it that records what it is asked to show.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/FreedesktopNotifier.h"
#include "tests/fakes/ChildProcess.h"

namespace twig {
namespace {

using namespace std::chrono_literals;

class FakeNotificationService {
 public:
  explicit FakeNotificationService(const std::string& address)
      : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    sd_bus* raw = nullptr;
    ready_ = sd_bus_new(&raw) >= 0 && sd_bus_set_address(raw, address.c_str()) >= 0 &&
             sd_bus_set_bus_client(raw, 1) >= 0 && sd_bus_start(raw) >= 0 &&
             sd_bus_add_object_vtable(raw, nullptr, "/org/freedesktop/Notifications",
                                      "org.freedesktop.Notifications", kTable, this) >= 0 &&
             sd_bus_request_name(raw, "org.freedesktop.Notifications", 0) >= 0;
    bus_ = raw;
    if (ready_) thread_ = std::thread([this] { run(); });
  }
  ~FakeNotificationService() {
    stopping_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
    if (thread_.joinable()) thread_.join();
    sd_bus_flush_close_unref(bus_);
    ::close(wake_);
  }
  bool ready() const { return ready_; }
  std::vector<std::string> shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
  }

 private:
  static int notify(sd_bus_message* message, void* user, sd_bus_error*) {
    const char* application = nullptr;
    std::uint32_t replaces = 0;
    const char* icon = nullptr;
    const char* summary = nullptr;
    const char* body = nullptr;
    if (sd_bus_message_read(message, "susss", &application, &replaces, &icon, &summary, &body) < 0)
      return -EINVAL;
    auto* self = static_cast<FakeNotificationService*>(user);
    {
      std::lock_guard lock(self->mutex_);
      self->shown_.push_back(std::string(application) + " | " + summary + " | " + body);
    }
    return sd_bus_reply_method_return(message, "u", 7u);
  }
  static constexpr sd_bus_vtable kTable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("Notify", "susssasa{sv}i", "u", notify, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END,
  };
  void run() {
    while (!stopping_) {
      if (sd_bus_process(bus_, nullptr) > 0) continue;
      pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(sd_bus_get_events(bus_)), 0},
                       {wake_, POLLIN, 0}};
      ::poll(fds, 2, 1000);
    }
  }

  int wake_;
  sd_bus* bus_ = nullptr;
  bool ready_ = false;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> shown_;
};

TEST(DesktopNotifier, ShowsNoticesThroughTheSessionsNotificationService) {
  test::ChildProcess daemon{"/usr/bin/dbus-daemon", {"--session", "--nofork", "--print-address=1"}};
  const auto address = daemon.nextLine(10s);
  ASSERT_TRUE(address) << "dbus-daemon did not start";

  FreedesktopNotifier notifier(*address);
  EXPECT_FALSE(notifier.notify("使用时间快到了", "nobody shows it yet"));  // no service on the bus

  FakeNotificationService service(*address);
  ASSERT_TRUE(service.ready());
  EXPECT_TRUE(notifier.notify("使用时间快到了", "还有5分钟，游戏就要到管控时间了"));
  EXPECT_EQ(service.shown(),
            (std::vector<std::string>{"twig-child | 使用时间快到了 | 还有5分钟，游戏就要到管控时间了"}));

  FreedesktopNotifier nowhere("unix:path=/nonexistent/bus");
  EXPECT_FALSE(nowhere.notify("a", "b"));
}

}  // namespace
}  // namespace twig
