#include <mosquitto.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "api/Utils.h"
#include "app/CommandCatalog.h"
#include "bench/BenchPorts.h"
#include "bench/Benchmark.h"
#include "control/AppControlManager.h"
#include "identity/ChildIdentity.h"
#include "messaging/CommandRouter.h"
#include "messaging/MqttPushChannel.h"
#include "platform/SystemClock.h"
#include "platform/Uuid.h"

namespace twig::bench {

namespace {

// A raw libmosquitto client: the parent's side, or the floor's echoing device.
class Endpoint {
 public:
  using OnMessage = std::function<void(Endpoint&, const std::string& topic, const std::string& payload)>;

  Endpoint(std::uint16_t port, const std::string& subscription, OnMessage onMessage)
      : onMessage_(std::move(onMessage)) {
    mosq_ = mosquitto_new(("bench-" + Uuid::randomString().substr(0, 8)).c_str(), true, this);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V31);
    mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_username_pw_set(mosq_, "qomri", "qomri");
    subscription_ = subscription;
    mosquitto_connect_callback_set(mosq_, [](mosquitto* m, void* user, int) {
      auto* self = static_cast<Endpoint*>(user);
      mosquitto_subscribe(m, nullptr, self->subscription_.c_str(), 1);
    });
    mosquitto_subscribe_callback_set(mosq_, [](mosquitto*, void* user, int, int, const int*) {
      auto* self = static_cast<Endpoint*>(user);
      std::lock_guard lock(self->mutex_);
      self->subscribed_ = true;
      self->changed_.notify_all();
    });
    mosquitto_message_callback_set(mosq_, [](mosquitto*, void* user, const mosquitto_message* message) {
      auto* self = static_cast<Endpoint*>(user);
      self->onMessage_(*self, message->topic,
                       std::string(static_cast<const char*>(message->payload),
                                   static_cast<std::size_t>(message->payloadlen)));
    });
    mosquitto_connect(mosq_, "127.0.0.1", port, 60);
    mosquitto_loop_start(mosq_);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return subscribed_; });
  }
  ~Endpoint() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
  }
  void publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
    mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos,
                      retain);
  }

 private:
  mosquitto* mosq_ = nullptr;
  std::string subscription_;
  OnMessage onMessage_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool subscribed_ = false;
};

// Sends `count` commands one after the other and measures each until its answer arrives.
std::vector<double> roundTrips(std::uint16_t port, const std::string& deviceTopic,
                               const std::string& parentTopic, int count) {
  std::mutex mutex;
  std::condition_variable answered;
  std::string awaited;
  bool arrived = false;
  Endpoint parent(port, parentTopic, [&](Endpoint&, const std::string&, const std::string& payload) {
    const Json message = Json::parse(payload, nullptr, false);
    if (!message.is_object() || !message.contains("ResponseChildInfo")) return;
    std::lock_guard lock(mutex);
    if (message["ResponseChildInfo"].value("commandUuid", Json()) == awaited) {
      arrived = true;
      answered.notify_all();
    }
  });
  std::vector<double> latencies;
  for (int i = 0; i < count; ++i) {
    const std::string uuid = Uuid::randomString();
    {
      std::lock_guard lock(mutex);
      awaited = uuid;
      arrived = false;
    }
    Stopwatch watch;
    parent.publish(deviceTopic, Json{{"RequestChildInfo", {{"commandUuid", uuid}}}}.dump(), 1, false);
    std::unique_lock lock(mutex);
    if (!answered.wait_for(lock, std::chrono::seconds(10), [&] { return arrived; })) {
      std::fprintf(stderr, "twig-bench: no answer to command %d\n", i);
      break;
    }
    latencies.push_back(watch.seconds() * 1e3);
  }
  return latencies;
}

double quantile(std::vector<double> sample, double fraction) {
  std::sort(sample.begin(), sample.end());
  return sample[std::min(sample.size() - 1,
                         static_cast<std::size_t>(fraction * static_cast<double>(sample.size())))];
}

void describe(const std::string& what, const std::vector<double>& latencies) {
  std::printf("%-40s %6zu round trips: median %.3f ms, p99 %.3f ms\n", what.c_str(), latencies.size(),
              quantile(latencies, 0.5), quantile(latencies, 0.99));
}

}  // namespace

// "RequestChildInfo" → "ResponseChildInfo" through the broker and the agent, beside a bare
// libmosquitto client that echoes an answer from its message callback.
int roundTripBenchmark(std::uint16_t port, int count, const std::filesystem::path& folder) {
  mosquitto_lib_init();
  std::filesystem::remove_all(folder);
  SystemClock clock;
  BenchPorts ports(clock, folder, port);
  PlainMainLoop& loop = ports.loop;
  const std::string parentDN = "1" + std::to_string(clock.now().time_since_epoch().count() % 1000000000LL);
  auto& device = ports.agent();
  device.child().updateChildInfo([&](ChildInfo& info) { info.parentDN = parentDN; });

  std::thread mainThread([&] { loop.run(); });
  loop.post([&device] { device.control(); });
  auto& channel = device.channel();
  channel.initializeMQTT(device.channelContext());
  for (int i = 0; i < 500 && !channel.isConnect(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!channel.isConnect()) {
    std::fprintf(stderr, "twig-bench: no broker at 127.0.0.1:%u\n", port);
    loop.quit();
    mainThread.join();
    return 1;
  }
  const std::string deviceId = device.child().deviceId();
  const std::string deviceTopic = "/ts/20/2/" + deviceId;
  const std::string parentTopic = "/ts/20/1/" + parentDN;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the subscription settles

  const auto agent = roundTrips(port, deviceTopic, parentTopic, count);
  loop.post([&] { loop.quit(); });
  mainThread.join();
  ports.endAgent();
  if (agent.empty()) return 1;
  describe("agent: RequestChildInfo -> ResponseChildInfo", agent);

  // The floor: the same exchange answered straight from a bare client's message callback.
  const std::string floorDevice = "/ts/20/2/floor" + Uuid::randomString().substr(0, 8);
  const std::string floorParent = "/ts/20/1/floor" + Uuid::randomString().substr(0, 8);
  Endpoint echo(port, floorDevice, [&](Endpoint& self, const std::string&, const std::string& payload) {
    const Json command = Json::parse(payload, nullptr, false);
    if (!command.is_object() || !command.contains("RequestChildInfo")) return;
    const Json answer = {{"ResponseChildInfo",
                          {{"commandUuid", command["RequestChildInfo"].value("commandUuid", Json())},
                           {"status", "Acknowledged"},
                           {"battery", 0.8},
                           {"screenStatus", "孩子端使用中"}}}};
    self.publish(floorParent, answer.dump(2), 1, true);
  });
  const auto bare = roundTrips(port, floorDevice, floorParent, count);
  if (bare.empty()) return 1;
  describe("floor: bare libmosquitto echo", bare);
  std::printf("  median ratio (agent / floor): %.2f\n", quantile(agent, 0.5) / quantile(bare, 0.5));
  std::printf("  p99 ratio (agent / floor): %.2f\n", quantile(agent, 0.99) / quantile(bare, 0.99));
  return 0;
}

}  // namespace twig::bench
