#include <mosquitto.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "bench/BenchPorts.h"
#include "bench/Benchmark.h"
#include "messaging/HandlerBase.h"
#include "messaging/MqttPushChannel.h"
#include "platform/SystemClock.h"
#include "platform/Uuid.h"

namespace twig::bench {

namespace {

// The floor: one bare libmosquitto client publishing the same bytes at QoS 1, counting PUBACKs.
double barePublisher(std::uint16_t port, const std::string& topic, const std::string& payload,
                     long long count) {
  struct Counter {
    std::mutex mutex;
    std::condition_variable done;
    long long acknowledged = 0;
    bool connected = false;
  } counter;
  mosquitto* mosq =
      mosquitto_new(("bench-bare-" + Uuid::randomString().substr(0, 8)).c_str(), true, &counter);
  mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V31);
  mosquitto_username_pw_set(mosq, "qomri", "qomri");
  mosquitto_connect_callback_set(mosq, [](mosquitto*, void* user, int rc) {
    auto* c = static_cast<Counter*>(user);
    std::lock_guard lock(c->mutex);
    c->connected = rc == 0;
    c->done.notify_all();
  });
  mosquitto_publish_callback_set(mosq, [](mosquitto*, void* user, int) {
    auto* c = static_cast<Counter*>(user);
    std::lock_guard lock(c->mutex);
    ++c->acknowledged;
    c->done.notify_all();
  });
  mosquitto_connect(mosq, "127.0.0.1", port, 60);
  mosquitto_loop_start(mosq);
  {
    std::unique_lock lock(counter.mutex);
    counter.done.wait(lock, [&] { return counter.connected; });
  }
  Stopwatch watch;
  for (long long i = 0; i < count; ++i) {
    mosquitto_publish(mosq, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 1,
                      true);
  }
  {
    std::unique_lock lock(counter.mutex);
    counter.done.wait(lock, [&] { return counter.acknowledged >= count; });
  }
  const double seconds = watch.seconds();
  mosquitto_disconnect(mosq);
  mosquitto_loop_stop(mosq, false);
  mosquitto_destroy(mosq);
  return seconds;
}

}  // namespace

// Answers published through the push channel (QoS 1, retained, each kept listed until the broker
// acknowledges it) against a bare libmosquitto publisher on the same broker.
int publishBenchmark(std::uint16_t port, long long count, const std::filesystem::path& folder) {
  mosquitto_lib_init();
  std::filesystem::remove_all(folder);
  SystemClock clock;
  BenchPorts ports(clock, folder, port);

  auto& agent = ports.agent();
  auto& channel = agent.channel();
  channel.initializeMQTT(agent.channelContext());
  for (int i = 0; i < 500 && !(channel.isConnect() && channel.publishMessages().empty()); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!channel.isConnect()) {
    std::fprintf(stderr, "twig-bench: no broker at 127.0.0.1:%u\n", port);
    return 1;
  }
  const Json answer = HandlerBase::responseMessage(
      clock, channel.channelContext().deviceId, "ResponseChildInfo", Utils::getUUIDString(),
      Json{{"battery", "0.8"}, {"screenStatus", "孩子端使用中"}});
  Stopwatch watch;
  for (long long i = 0; i < count; ++i) channel.publishWithParameter(answer, nullptr);
  while (!channel.publishMessages().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double channelSeconds = watch.seconds();
  report("answers through the push channel", count, channelSeconds);

  const double bareSeconds = barePublisher(port, channel.pubTopic(), Utils::jsonWithObject(answer), count);
  report("floor: bare libmosquitto publisher", count, bareSeconds);
  std::printf("  throughput ratio (floor / channel): %.2f\n", channelSeconds / bareSeconds);
  ports.endAgent();
  return 0;
}

}  // namespace twig::bench
