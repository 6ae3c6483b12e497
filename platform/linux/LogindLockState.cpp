#include "platform/linux/LogindLockState.h"

#include "platform/linux/SdBus.h"

namespace twig {

namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";

struct WatchState {
  LogindLockState::Listener* listener = nullptr;
  bool reread = false;
};

int onPropertiesChanged(sd_bus_message* message, void* user, sd_bus_error*) {
  auto* state = static_cast<WatchState*>(user);
  int value = 0;
  const auto change =
      sdbus::readChange(message, kSessionInterface, "LockedHint",
                        [&value](sd_bus_message* m) { return sd_bus_message_read(m, "b", &value) >= 0; });
  if (change.seen && *state->listener) (*state->listener)(value != 0);
  if (change.invalidated) state->reread = true;
  return 0;
}

bool readLockedHint(sd_bus* bus, const std::string& path, bool& locked) {
  sdbus::CallError error;
  int value = 0;
  if (sd_bus_get_property_trivial(bus, kLogind, path.c_str(), kSessionInterface, "LockedHint", &error.error,
                                  'b', &value) < 0)
    return false;
  locked = value != 0;
  return true;
}

}  // namespace

LogindLockState::LogindLockState(std::string sessionId, Listener listener, std::string busAddress,
                                 std::function<void()> ended)
    : sessionId_(std::move(sessionId)),
      listener_(std::move(listener)),
      busAddress_(std::move(busAddress)),
      thread_([this](int wake) { watch(wake); }, std::move(ended)) {}

LogindLockState::~LogindLockState() = default;

void LogindLockState::watch(int wake) {
  sdbus::Bus bus = sdbus::connect(busAddress_);
  if (!bus) return;
  std::string path;
  {
    sdbus::CallError error;
    sd_bus_message* raw = nullptr;
    if (sd_bus_call_method(bus.get(), kLogind, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                           "GetSession", &error.error, &raw, "s", sessionId_.c_str()) < 0)
      return;
    sdbus::Message reply(raw);
    const char* object = nullptr;
    if (sd_bus_message_read(reply.get(), "o", &object) < 0 || object == nullptr) return;
    path = object;
  }
  // Listening before the first reading: a change between the two is not lost.
  WatchState state{&listener_, false};
  sd_bus_slot* rawSlot = nullptr;
  if (sd_bus_add_match(bus.get(), &rawSlot, sdbus::propertiesChangedRule(kLogind, path).c_str(),
                       onPropertiesChanged, &state) < 0)
    return;
  sdbus::Slot slot(rawSlot);
  bool locked = false;
  if (!readLockedHint(bus.get(), path, locked)) return;
  following_ = true;  // before the report, which a caller may wait for
  if (listener_) listener_(locked);
  // Until stopped, or until logind goes away (the last state then stands).
  sdbus::run(bus.get(), wake, [&] {
    if (!state.reread) return;
    state.reread = false;
    if (readLockedHint(bus.get(), path, locked) && listener_) listener_(locked);
  });
}

}  // namespace twig
