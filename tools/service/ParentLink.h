#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "messaging/MQTTClient.h"
#include "platform/Clock.h"
#include "platform/Json.h"
#include "tools/service/ServiceDatabase.h"

namespace twig::service {

// The parents' side on the broker: listens on every parent address ("/ts/<version>/1/<parentDN>"),
// records each message a device publishes, and publishes commands to a device ("/ts/20/2/<id>").
class ParentLink {
 public:
  ParentLink(ServiceDatabase& database, Clock& clock, const std::string& host, std::uint16_t port);

  void publishCommand(const std::string& deviceId, const Json& payload);
  bool connected() const { return client_->connected(); }
  // The device's messages after sequence number `after`, waiting up to `wait` for a first one
  // (all devices' when `deviceId` is empty).
  Json waitForMessages(const std::string& deviceId, std::int64_t after, std::chrono::milliseconds wait);
  // Ends every wait now and makes later ones return at once, so that the server can stop without
  // sitting out the consoles' long polls.
  void stopWaiting();

 private:
  void record(const MQTTMessage& message);

  ServiceDatabase& database_;
  Clock& clock_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  bool stopping_ = false;
  std::unique_ptr<MQTTClient> client_;
};

}  // namespace twig::service
