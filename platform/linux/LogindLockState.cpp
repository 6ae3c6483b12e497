#include "platform/linux/LogindLockState.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>

namespace twig {

namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";

struct BusClose {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct SlotUnref {
  void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
struct MessageUnref {
  void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;
using Slot = std::unique_ptr<sd_bus_slot, SlotUnref>;
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

// Owns an sd_bus_error for the length of one call.
struct CallError {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  ~CallError() { sd_bus_error_free(&error); }
};

Bus connect(const std::string& address) {
  sd_bus* raw = nullptr;
  if (address.empty()) {
    if (sd_bus_open_system(&raw) < 0) return nullptr;
    return Bus(raw);
  }
  if (sd_bus_new(&raw) < 0) return nullptr;
  Bus bus(raw);
  if (sd_bus_set_address(bus.get(), address.c_str()) < 0 || sd_bus_set_bus_client(bus.get(), 1) < 0 ||
      sd_bus_start(bus.get()) < 0)
    return nullptr;
  return bus;
}

// What a PropertiesChanged signal of the session says of LockedHint.
struct Change {
  bool seen = false;
  bool locked = false;
  bool invalidated = false;
};

Change readChange(sd_bus_message* message) {
  Change change;
  const char* interface = nullptr;
  if (sd_bus_message_read(message, "s", &interface) < 0 || interface == nullptr ||
      std::strcmp(interface, kSessionInterface) != 0)
    return change;
  if (sd_bus_message_enter_container(message, 'a', "{sv}") < 0) return change;
  while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
    const char* name = nullptr;
    if (sd_bus_message_read(message, "s", &name) < 0) return change;
    if (name != nullptr && std::strcmp(name, "LockedHint") == 0) {
      int value = 0;
      if (sd_bus_message_read(message, "v", "b", &value) < 0) return change;
      change.seen = true;
      change.locked = value != 0;
    } else if (sd_bus_message_skip(message, "v") < 0) {
      return change;
    }
    if (sd_bus_message_exit_container(message) < 0) return change;
  }
  if (sd_bus_message_exit_container(message) < 0) return change;
  // Properties that changed without their new value: read again.
  if (sd_bus_message_enter_container(message, 'a', "s") < 0) return change;
  for (const char* name = nullptr; sd_bus_message_read(message, "s", &name) > 0;) {
    if (name != nullptr && std::strcmp(name, "LockedHint") == 0) change.invalidated = true;
  }
  return change;
}

struct WatchState {
  LogindLockState::Listener* listener = nullptr;
  bool reread = false;
};

int onPropertiesChanged(sd_bus_message* message, void* user, sd_bus_error*) {
  auto* state = static_cast<WatchState*>(user);
  const Change change = readChange(message);
  if (change.seen && *state->listener) (*state->listener)(change.locked);
  if (change.invalidated) state->reread = true;
  return 0;
}

bool readLockedHint(sd_bus* bus, const std::string& path, bool& locked) {
  CallError error;
  int value = 0;
  if (sd_bus_get_property_trivial(bus, kLogind, path.c_str(), kSessionInterface, "LockedHint", &error.error,
                                  'b', &value) < 0)
    return false;
  locked = value != 0;
  return true;
}

}  // namespace

LogindLockState::LogindLockState(std::string sessionId, Listener listener, std::string busAddress)
    : sessionId_(std::move(sessionId)), listener_(std::move(listener)), busAddress_(std::move(busAddress)) {
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ >= 0) watcher_ = std::thread([this] { watch(); });
}

LogindLockState::~LogindLockState() {
  if (wake_ >= 0) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
  }
  if (watcher_.joinable()) watcher_.join();
  if (wake_ >= 0) ::close(wake_);
}

void LogindLockState::watch() {
  Bus bus = connect(busAddress_);
  if (!bus) return;
  std::string path;
  {
    CallError error;
    sd_bus_message* raw = nullptr;
    if (sd_bus_call_method(bus.get(), kLogind, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                           "GetSession", &error.error, &raw, "s", sessionId_.c_str()) < 0)
      return;
    Message reply(raw);
    const char* object = nullptr;
    if (sd_bus_message_read(reply.get(), "o", &object) < 0 || object == nullptr) return;
    path = object;
  }
  // Listening before the first reading: a change between the two is not lost.
  WatchState state{&listener_, false};
  const std::string rule = std::string("type='signal',sender='") + kLogind +
                           "',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',path='" +
                           path + "'";
  sd_bus_slot* rawSlot = nullptr;
  if (sd_bus_add_match(bus.get(), &rawSlot, rule.c_str(), onPropertiesChanged, &state) < 0) return;
  Slot slot(rawSlot);
  bool locked = false;
  if (!readLockedHint(bus.get(), path, locked)) return;
  following_ = true;  // before the report, which a caller may wait for
  if (listener_) listener_(locked);

  for (;;) {
    const int processed = sd_bus_process(bus.get(), nullptr);
    if (processed < 0) return;  // logind went away: the last state stands
    if (state.reread) {
      state.reread = false;
      if (readLockedHint(bus.get(), path, locked) && listener_) listener_(locked);
    }
    if (processed > 0) continue;
    // The bus's own deadline (pending method calls) is absolute on the monotonic clock.
    std::uint64_t deadline = 0;
    int waitMs = -1;
    if (sd_bus_get_timeout(bus.get(), &deadline) >= 0 && deadline != UINT64_MAX) {
      timespec now{};
      ::clock_gettime(CLOCK_MONOTONIC, &now);
      const std::uint64_t nowUs =
          static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
      waitMs = deadline <= nowUs
                   ? 0
                   : static_cast<int>(std::min<std::uint64_t>((deadline - nowUs + 999) / 1000, 60000));
    }
    pollfd fds[2] = {{sd_bus_get_fd(bus.get()), static_cast<short>(sd_bus_get_events(bus.get())), 0},
                     {wake_, POLLIN, 0}};
    if (::poll(fds, 2, waitMs) < 0 && errno != EINTR) return;
    if ((fds[1].revents & POLLIN) != 0) return;
  }
}

}  // namespace twig
