#pragma once

#include <chrono>
#include <cstddef>
#include <deque>

namespace twig {

// The connections that another client with the same identifier took within the last minute. A
// device identifier used by two agents at once (a copied data folder) makes the broker hand the
// session to each in turn: every connection is closed by the broker a moment after it was made,
// as soon as the other agent's next attempt arrives (a second or so). MQTT 3.1 does not tell a
// client why the broker closed its connection, so that is what is counted: connections the broker
// closed (the socket ended from its side) while they were younger than a few seconds. A keep-alive
// that went unanswered or a socket error (a Wi-Fi drop, a network that went away) is the network,
// never a takeover, and neither is the end of a connection that had lived for a while (a broker
// restart, an administrator's cut). Network thread only.
class LostConnections {
 public:
  using Time = std::chrono::steady_clock::time_point;
  using Duration = std::chrono::steady_clock::duration;
  static constexpr std::chrono::seconds kSpan{60};

  enum class Ending { ClosedByBroker, NetworkTrouble };
  // Whether a connection that ended this way, after living `age`, looks taken over.
  static bool takenOver(Ending ending, Duration age, Duration window);

  void record(Time when);
  // The losses within the span before `now`; older ones are forgotten.
  std::size_t within(Time now);

 private:
  std::deque<Time> losses_;
};

}  // namespace twig
