#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace twig::sdbus {

// What the D-Bus watchers of the Linux ports share: owned handles, the connection, the wait for
// messages (ended by an eventfd), and reading one property out of a PropertiesChanged signal.

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

// `address` empty: the system bus; else a bus of that address. Null when it cannot be reached.
Bus connect(const std::string& address);
// The session bus of this process's environment (DBUS_SESSION_BUS_ADDRESS, else the user's
// runtime folder's "bus"); empty when there is none. Looked up here rather than by a library that
// would launch a bus of its own.
std::string sessionBusAddress();

// Processes messages until the eventfd `wake` is readable (true) or the bus fails (false).
// `afterEach` runs after every processed message.
bool run(sd_bus* bus, int wake, const std::function<void()>& afterEach);

// A match for the PropertiesChanged signals of one object of one sender.
std::string propertiesChangedRule(const std::string& sender, const std::string& path);

// What a PropertiesChanged signal says of one property of one interface: its new value read with
// `read` (which gets the message positioned inside the variant), or that it changed without one.
struct Change {
  bool seen = false;
  bool invalidated = false;
};
Change readChange(sd_bus_message* message, const char* interface, const char* property,
                  const std::function<bool(sd_bus_message*)>& read);

}  // namespace twig::sdbus
