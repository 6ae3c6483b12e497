#pragma once

#include <cstdint>
#include <string>

namespace twig {

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
