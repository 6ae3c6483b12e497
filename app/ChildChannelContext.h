#pragma once

#include "messaging/ChannelContext.h"

namespace twig {

// The push channel's context for this child: the identities as stored now, and the reactions the
// channel leaves to the rest of the agent (binding flag, new-bills mark, upgrade prompt).
class ChildChannelContext {
 public:
  static ChannelContext make();
  // What a notice of `type` marks: "bills" sets "billsNumber" to 1, other types change nothing.
  static void noticed(const std::string& type);
  // The service answered that this device is not bound: the flag goes and "Reset" is posted.
  static void unbound();
};

}  // namespace twig
