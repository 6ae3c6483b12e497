#pragma once

#include <chrono>
#include <cstddef>
#include <deque>

namespace twig {

// The established connections the broker ended within the last minute. A device identifier used by
// two agents at once (a copied data folder) makes the broker hand the session to each in turn: every
// connection is taken over a moment after it was made, and counting them tells that storm from a
// broker restart or a flaky network, which end a connection now and then. Network thread only.
class LostConnections {
 public:
  using Time = std::chrono::steady_clock::time_point;
  static constexpr std::chrono::seconds kSpan{60};

  void record(Time when);
  // The losses within the span before `now`; older ones are forgotten.
  std::size_t within(Time now);

 private:
  std::deque<Time> losses_;
};

}  // namespace twig
