#pragma once

#include "messaging/TWIGBaseMessage.h"

namespace twig {

// "RequestLocation": asks for one position fix and answers "ResponseLocation" when it comes.
class TWIGRequestLocation final : public TWIGBaseMessage {
 public:
  void receiveMessagePayload(const Json& payload) override;
  static Json responseLocation(const std::string& commandUuid, double longitude, double latitude);
};

}  // namespace twig
