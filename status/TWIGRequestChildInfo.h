#pragma once

#include <functional>
#include <string>

#include "messaging/TWIGBaseMessage.h"

namespace twig {

// "RequestChildInfo": answers the battery level and the screen status.
class TWIGRequestChildInfo final : public TWIGBaseMessage {
 public:
  struct ChildStatus {
    double battery = -1;
    std::string screenStatus;
  };
  // Reads the device's status; called on the main loop, where whoever keeps it lives.
  using StatusReader = std::function<ChildStatus()>;

  TWIGRequestChildInfo(CommandContext context, StatusReader readStatus)
      : TWIGBaseMessage(std::move(context)), readStatus_(std::move(readStatus)) {}
  void receiveMessagePayload(const Json& payload) override;

 private:
  StatusReader readStatus_;
};

}  // namespace twig
