#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "messaging/CommandInbox.h"
#include "messaging/MQTTClient.h"
#include "messaging/PullCycle.h"
#include "messaging/PushChannel.h"
#include "messaging/RecentCommands.h"
#include "platform/SerialQueue.h"

namespace twig {

class ApiClient;
class CommandRouter;
class ObjectCache;
struct Ports;

// The device's live link to the service: one persistent MQTT session, client id "/ts/20/2/<device>",
// listening on "/ts/*/2/<device>" and publishing to the parent at "/ts/20/1/<parentDN>". After
// every (re)connection it subscribes, announces the device online, refreshes its will
// ("EventOffline") and sends its backlog.
//
// Messages that could not go out wait in a backlog; every other QoS 1 message stays listed too, from
// before it is handed to the library until the broker acknowledges it. Both are kept under
// "publishMessages" in the object cache, so a process that dies sends them after its next start (at
// least once: the parent tells a repeat by its "commandUuid"). The list is written by a queue of its
// own that gathers the changes made meanwhile into one write, and a message is handed over only
// once a write holding it has finished. An answer to a request that the command inbox holds needs
// no listing: it goes to the library at once, and the request stays open in the inbox until the
// broker acknowledges the answer, so a process that dies before then runs the request again.
//
// Callable from any thread; received messages are checked and dispatched on the session's network
// thread. When the broker keeps handing the session to another client with this device's id, the
// channel tells the parent "EventOffline" once and stops.
class MqttPushChannel final : public PushChannel {
 public:
  // The largest command accepted: a few kilobytes in practice (a group table with its applications).
  static constexpr std::size_t kMaxPayloadBytes = 256 * 1024;
  // Connections taken over within a minute beyond which the channel gives up (a broker restart or a
  // network change ends one or two), plus a share drawn at random for each process: two copies that
  // take the session from each other count alike, and the same limit would stop both. With
  // different limits the first to give up leaves the other undisturbed, which then keeps working.
  static constexpr std::uint32_t kTakeoverLimit = 5;
  static constexpr std::uint32_t kTakeoverJitter = 20;
  // How long a channel that gave the session up rests before it tries again: the other agent may
  // be gone by then (a copy that ran once), and a wrong guess costs no more than this.
  static constexpr std::chrono::seconds kTakeoverRest{600};

  // Commands are handled by `commands`' routes. Nothing connects before initializeMQTT.
  MqttPushChannel(const Ports& ports, ApiClient& api, ObjectCache& cache, const CommandRouter& commands);
  // Ends the channel: its socket closes without a goodbye, so the broker publishes the will.
  ~MqttPushChannel() override;

  void initializeMQTT(const ChannelContext& context) override;
  // Replaces the drawn takeover limit; before initializeMQTT (tests).
  void setTakeoverLimit(std::uint32_t limit) { takeoverLimit_ = limit; }
  // For tests: how young a connection the broker closed counts as taken over, and the rest after a
  // storm. Before initializeMQTT.
  void setTakeoverTiming(std::chrono::milliseconds window, std::chrono::seconds rest) {
    takeoverWindow_ = window;
    takeoverRest_ = rest;
  }
  bool setParentDN(const std::string& parentDN) override;
  ChannelContext channelContext() const override;
  void startPullMessage() override {}
  void connectToHost() override;
  bool isConnect() const override;
  void setMqttEventOnline() override;
  void publishWithParameter(const Json& message, int qos, PublishCompletion completion) override;
  void publishWithParameter(const Json& message, PublishCompletion completion) override;
  // Drops repeats, and records requests in the command inbox before they run.
  bool admitCommand(const std::string& name, const std::string& commandUuid,
                    const std::string& payload) override;

  // Hands over what waits for its first write, then ends the network thread: no command, no
  // acknowledgement and no connection reaction runs after this. Publishing stays safe, and what is
  // published stays listed for the next start.
  void stop();

  void subscribeMessage();
  void setMqttWill();
  void didNotSendMessages();

  std::string clientID() const;
  std::string subTopic() const;
  std::string pubTopic() const;
  // The backlog and the unacknowledged messages (listed or riding on their request in the inbox).
  std::vector<Json> publishMessages() const;
  PullCycle* store() const { return store_.get(); }

 private:
  long long nowMs() const;
  struct Handover {
    std::uint64_t entry;
    std::string text;
    std::string topic;
  };
  // Network thread: another client keeps taking the session over.
  void takenOver(std::size_t lost, std::uint64_t connection);
  void schedulePersistLocked();
  // Hands an answer to a request the inbox holds straight to the library; false for other messages.
  bool handOverAnswer(const Json& message, const std::string& text);
  // The backlog, then the messages awaiting their acknowledgement; the caller holds the mutex.
  std::vector<Json> listedMessagesLocked() const;
  void persistAndHandOver();

  // A lock of its own, taken last and never held while taking another: the topics are read under
  // the backlog's lock.
  const Ports& ports_;
  ApiClient& api_;
  ObjectCache& cache_;
  const CommandRouter& commands_;
  mutable std::mutex contextMutex_;
  ChannelContext context_;
  mutable std::mutex mutex_;
  std::vector<Json> backlog_;
  std::map<std::uint64_t, Json> inFlight_;
  // Answers handed over without a listing (their requests are open in the inbox), by entry: the
  // request's "commandUuid" and the answer.
  std::map<std::uint64_t, std::pair<std::string, Json>> unlisted_;
  std::uint64_t nextInFlight_ = 1;
  std::vector<Handover> pendingHandovers_;
  bool persistScheduled_ = false;
  std::unique_ptr<PullCycle> store_;
  RecentCommands recentCommands_;
  std::unique_ptr<CommandInbox> inbox_;
  std::uint32_t takeoverLimit_ = kTakeoverLimit + std::random_device()() % (kTakeoverJitter + 1);
  std::chrono::milliseconds takeoverWindow_{MQTTClient::Settings().takeoverWindow};
  std::chrono::seconds takeoverRest_{kTakeoverRest};
  std::unique_ptr<MQTTClient> client_;
  // Declared last so that it finishes first: its steps use everything above.
  SerialQueue writer_{"twig-backlog"};
};

}  // namespace twig
