#pragma once

#include "messaging/TWIGBaseMessage.h"

namespace twig {

// "RequestLocation": asks for one position fix and answers "ResponseLocation" when it comes.
class TWIGRequestLocation final : public TWIGBaseMessage {
 public:
  using TWIGBaseMessage::TWIGBaseMessage;
  void receiveMessagePayload(const Json& payload) override;
  Json responseLocation(const std::string& commandUuid, double latitude, double longitude) const;
};

}  // namespace twig
