#include "platform/linux/SdBus.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace twig::sdbus {

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

std::string sessionBusAddress() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return address;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    const std::filesystem::path socket = std::filesystem::path(runtime) / "bus";
    std::error_code error;
    if (std::filesystem::is_socket(socket, error)) return "unix:path=" + socket.string();
  }
  return {};
}

bool run(sd_bus* bus, int wake, const std::function<void()>& afterEach) {
  for (;;) {
    const int processed = sd_bus_process(bus, nullptr);
    if (processed < 0) return false;
    if (afterEach) afterEach();
    if (processed > 0) continue;
    // The bus's own deadline (pending method calls) is absolute on the monotonic clock.
    std::uint64_t deadline = 0;
    int waitMs = -1;
    if (sd_bus_get_timeout(bus, &deadline) >= 0 && deadline != UINT64_MAX) {
      timespec now{};
      ::clock_gettime(CLOCK_MONOTONIC, &now);
      const std::uint64_t nowUs =
          static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
      waitMs = deadline <= nowUs
                   ? 0
                   : static_cast<int>(std::min<std::uint64_t>((deadline - nowUs + 999) / 1000, 60000));
    }
    pollfd fds[2] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0}, {wake, POLLIN, 0}};
    if (::poll(fds, 2, waitMs) < 0 && errno != EINTR) return false;
    if ((fds[1].revents & POLLIN) != 0) return true;
  }
}

std::string propertiesChangedRule(const std::string& sender, const std::string& path) {
  return "type='signal',sender='" + sender +
         "',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',path='" + path + "'";
}

Change readChange(sd_bus_message* message, const char* interface, const char* property,
                  const std::function<bool(sd_bus_message*)>& read) {
  Change change;
  const char* changedInterface = nullptr;
  if (sd_bus_message_read(message, "s", &changedInterface) < 0 || changedInterface == nullptr ||
      std::strcmp(changedInterface, interface) != 0)
    return change;
  if (sd_bus_message_enter_container(message, 'a', "{sv}") < 0) return change;
  while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
    const char* name = nullptr;
    if (sd_bus_message_read(message, "s", &name) < 0) return change;
    if (name != nullptr && std::strcmp(name, property) == 0) {
      const char* contents = nullptr;
      if (sd_bus_message_peek_type(message, nullptr, &contents) < 0 ||
          sd_bus_message_enter_container(message, 'v', contents) < 0 || !read(message) ||
          sd_bus_message_exit_container(message) < 0)
        return change;
      change.seen = true;
    } else if (sd_bus_message_skip(message, "v") < 0) {
      return change;
    }
    if (sd_bus_message_exit_container(message) < 0) return change;
  }
  if (sd_bus_message_exit_container(message) < 0) return change;
  // Properties that changed without their new value.
  if (sd_bus_message_enter_container(message, 'a', "s") < 0) return change;
  for (const char* name = nullptr; sd_bus_message_read(message, "s", &name) > 0;) {
    if (name != nullptr && std::strcmp(name, property) == 0) change.invalidated = true;
  }
  return change;
}

}  // namespace twig::sdbus
