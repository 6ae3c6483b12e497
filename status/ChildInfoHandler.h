#pragma once

#include <functional>
#include <string>

#include "messaging/HandlerBase.h"

namespace twig {

// "RequestChildInfo": answers the battery level and the screen status.
class ChildInfoHandler final : public HandlerBase {
 public:
  struct ChildStatus {
    double battery = -1;
    std::string screenStatus;
  };
  // Reads the device's status; called on the main loop, where whoever keeps it lives.
  using StatusReader = std::function<ChildStatus()>;

  ChildInfoHandler(CommandContext context, StatusReader readStatus)
      : HandlerBase(std::move(context)), readStatus_(std::move(readStatus)) {}
  void receive(const Command& command) override;

 private:
  StatusReader readStatus_;
};

}  // namespace twig
