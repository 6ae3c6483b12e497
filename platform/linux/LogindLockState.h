#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "platform/linux/WatcherThread.h"

namespace twig {

// Follows one login session's lock state on logind over D-Bus (sd-bus): its "LockedHint" once at
// the start, then each change as logind announces it (PropertiesChanged), without polling. The
// listener runs on the watcher's own thread. Without logind, or without the session, it reports
// nothing and the caller keeps the screen "in use".
class LogindLockState {
 public:
  using Listener = std::function<void(bool locked)>;

  // `busAddress` empty: the system bus. Otherwise a bus of that address (the tests' own).
  // `ended` runs on the watcher's thread when it gives up (no bus, no session) or stops.
  LogindLockState(std::string sessionId, Listener listener, std::string busAddress = {},
                  std::function<void()> ended = nullptr);
  ~LogindLockState();
  LogindLockState(const LogindLockState&) = delete;
  LogindLockState& operator=(const LogindLockState&) = delete;

  // True once the session was found and its first state reported.
  bool following() const { return following_; }
  // True once the watcher gave up (no bus, no answer) or was stopped.
  bool ended() const { return thread_.ended(); }

 private:
  void watch(int wake);

  std::string sessionId_;
  Listener listener_;
  std::string busAddress_;
  std::atomic<bool> following_{false};
  WatcherThread thread_;  // last: it goes first
};

}  // namespace twig
