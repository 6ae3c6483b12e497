#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_set>

#include "platform/Clock.h"

namespace twig {

// The command identifiers ("commandUuid") seen lately, so that a command delivered twice (QoS 1
// redelivers after a lost acknowledgement, and the pull road may bring what the broker brought) runs
// and is answered once. Bounded both in time and in count, so a stream of commands cannot grow it.
// Callable from any thread.
class RecentCommands {
 public:
  static constexpr std::chrono::minutes kWindow{10};
  static constexpr std::size_t kCapacity = 2048;

  explicit RecentCommands(std::chrono::steady_clock::duration window = kWindow,
                          std::size_t capacity = kCapacity);

  // True the first time `commandUuid` is offered within the window (and always for an empty one,
  // which names nothing); false for a repeat.
  bool firstSighting(const std::string& commandUuid, SteadyTime now);
  std::size_t size() const;

 private:
  struct Sighting {
    std::string commandUuid;
    SteadyTime at;
  };
  void forgetOldLocked(SteadyTime now);

  const std::chrono::steady_clock::duration window_;
  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::deque<Sighting> order_;  // oldest first
  std::unordered_set<std::string> seen_;
};

}  // namespace twig
