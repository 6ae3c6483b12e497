#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "messaging/MQTTMessage.h"

struct mosquitto_message;  // <mosquitto.h> stays out of this header

namespace twig {

// An MQTT 3.1 session over libmosquitto, with its network loop on a thread of its own. Every
// library call and every callback runs on that thread: calls from other threads are handed to it.
// After the first connect the loop reconnects by itself after `reconnectDelay` seconds, for ever,
// including when the broker was down at the start. Destruction closes the socket without an MQTT
// DISCONNECT, as a process end would, so the broker publishes the session's will.
class MQTTClient {
 public:
  using ConnectionHandler = std::function<void(int resultCode)>;
  using MessageHandler = std::function<void(const MQTTMessage& message)>;
  using SubscriptionHandler = std::function<void(const std::vector<int>& grantedQos)>;
  using PublishHandler = std::function<void(int mid)>;
  using TakeoverHandler = std::function<void(std::size_t lostInAMinute, std::uint64_t connection)>;

  struct Settings {
    std::uint16_t port = 1883;
    std::optional<std::string> username;
    std::optional<std::string> password;
    std::uint16_t keepAlive = 60;
    // Seconds between two connection attempts, always the same (the loop retries for ever, unless
    // the connections keep being taken over: see takeoverLimit).
    std::uint32_t reconnectDelay = 1;
    // More established connections than this taken over within a minute (see LostConnections:
    // closed by the broker while younger than takeoverWindow) count as a takeover storm (another
    // client with our id): the next connection goes to the takeover handler instead of the
    // connection handler, and no new connection is made for takeoverRest (the count starts
    // afresh after it). 0: never.
    std::uint32_t takeoverLimit = 0;
    std::chrono::milliseconds takeoverWindow{5000};
    std::chrono::seconds takeoverRest{600};
    // TLS, with the broker's certificate and host name checked against the system's authorities,
    // or against the PEM file caFile when it is not empty.
    bool tls = false;
    std::string caFile;
    // A received message larger than this is acknowledged and dropped with one line on stderr,
    // before it is copied anywhere. 0: no limit.
    std::size_t maxPayloadBytes = 0;
  };

  MQTTClient(std::string clientId, bool cleanSession);
  // Stops, then closes the socket without an MQTT DISCONNECT.
  ~MQTTClient();
  MQTTClient(const MQTTClient&) = delete;
  MQTTClient& operator=(const MQTTClient&) = delete;

  const std::string& clientID() const { return clientId_; }
  bool cleanSession() const { return cleanSession_; }
  // Change before connecting.
  Settings& settings() { return settings_; }
  bool connected() const { return connected_.load(); }
  // Why the last connection attempt failed (the library's words, such as a certificate the broker
  // showed that cannot be trusted); empty once connected.
  std::string connectionProblem() const;

  // Runs on the network thread for every message; install it before connecting, or messages
  // queued for a persistent session arrive with nobody to take them.
  void setMessageHandler(MessageHandler handler);
  // Runs on the network thread, connected, when a takeover storm was detected, instead of the
  // connection handler, with the number of that connection; the connection stays until the
  // handler ends it (it may publish, then endConnection(number)), and whenever it ends the next
  // one waits for the rest.
  void setTakeoverHandler(TakeoverHandler handler);
  // Connects (asynchronously, on the network thread) and starts the loop; the handler is called with
  // the CONNACK result on this and every later connection. Calling it again while the loop runs only
  // replaces the handler: the loop already reconnects by itself.
  void connectToHost(const std::string& host, ConnectionHandler handler);
  // The handler is called once the SUBACK arrives.
  void subscribe(const std::string& topic, int qos, SubscriptionHandler handler);
  // A QoS 0 handler is called as soon as the message is handed to the library; QoS 1 and 2 handlers
  // when the broker has acknowledged it, also after a reconnection (the library sends unacknowledged
  // messages again). Calls from other threads return before the message is handed over.
  void publishString(const std::string& payload, const std::string& topic, int qos, bool retain,
                     PublishHandler handler);
  // Takes effect from the next connection.
  void setWill(const std::string& payload, const std::string& topic, int qos, bool retain);
  // Ends a live connection with a DISCONNECT and connects again at once, so that what takes effect
  // from the next connection (the will) applies now; unacknowledged publications are sent again.
  // Nothing to do while there is no connection: the next one comes by itself.
  void reconnect();
  // Ends the connection with a DISCONNECT (no will is published) and connects no more.
  void disconnect();
  // Ends connection number `connection` (counted from 1, one per CONNACK) with a DISCONNECT, if it
  // is still the live one; a later connection is left alone. The loop connects again as usual.
  void endConnection(std::uint64_t connection);
  // Ends the network thread: once this returns no handler runs any more, and later calls are
  // ignored. The socket stays open until destruction.
  void stop();
  // For tests: the next publication finds its socket already shut for writing, as when the
  // connection breaks in the middle of a publish.
  void breakConnectionBeforeNextPublish();

 private:
  struct Session;
  void post(std::function<void()> task);
  void run();
  // Network thread: the connection is gone; the next attempt is due at `nextAttempt`.
  void connectionEnded(std::chrono::steady_clock::time_point nextAttempt);
  // Network thread: TLS settings for the library, before the first connection.
  void setUpTls();
  // Network thread: whether a received message exceeds maxPayloadBytes (then it is logged).
  bool tooLarge(const mosquitto_message& message) const;
  // Network thread: why the current attempt failed (empty: connected).
  void noteProblem(const std::string& problem);

  std::string clientId_;
  bool cleanSession_;
  Settings settings_;
  std::atomic<bool> connected_{false};
  mutable std::mutex problemMutex_;
  std::string connectionProblem_;
  std::unique_ptr<Session> session_;
};

}  // namespace twig
