#pragma once

#include <functional>
#include <string>

namespace twig {

// What the push channel needs from the rest of the agent, given by the wiring when the channel is
// initialised: the two ends of the session and the reactions that belong to other parts of the
// agent. A missing reaction is skipped (a device without one counts as not bound).
struct ChannelContext {
  std::string deviceId;
  std::string parentDN;
  // Whether the device counts as bound (the pull cycle asks nothing otherwise).
  std::function<bool()> isBound;
  // The service no longer knows this device as bound.
  std::function<void()> unbound;
  // A newer peer sent a message: this device must upgrade.
  std::function<void()> mustUpgrade;
  // The channel gave up for good and says why (another agent uses this device's identity).
  std::function<void(const std::string& why)> halted;
};

}  // namespace twig
