#pragma once

#include <functional>
#include <utility>

#include "messaging/HandlerBase.h"

namespace twig {

// "RequestLocation": asks for one position fix and answers "ResponseLocation" when it comes.
class LocationHandler final : public HandlerBase {
 public:
  // Asks for one fix; `done` gets (latitude, longitude), (0, 0) when there is none, on whatever
  // thread the fix arrives.
  using Locate = std::function<void(std::function<void(double latitude, double longitude)> done)>;

  LocationHandler(CommandContext context, Locate locate)
      : HandlerBase(std::move(context)), locate_(std::move(locate)) {}
  void receive(const Command& command) override;
  Json responseLocation(const std::string& commandUuid, double latitude, double longitude) const;

 private:
  Locate locate_;
};

}  // namespace twig
