#pragma once

#include <cstdint>
#include <string>

namespace twig {

// Quality-of-service levels, as MQTT numbers them on the wire.
inline constexpr int kQosAtMostOnce = 0;
inline constexpr int kQosAtLeastOnce = 1;
// The broker keeps the last retained message of a topic for later subscribers.
inline constexpr bool kRetained = true;
inline constexpr bool kNotRetained = false;

// One message received on the session.
struct MQTTMessage {
  std::uint16_t mid = 0;
  std::string topic;
  std::string payload;  // bytes as received
  int qos = 0;
  bool retained = false;

  // The payload as UTF-8 text.
  const std::string& payloadString() const { return payload; }
};

}  // namespace twig
