#pragma once

#include "frame/Services.h"

namespace twig {

class ChildIdentity;
struct RemoteEvents;

// What the wallet's screens and requests are handed: the agent's services, the child whose bills
// they are, and the parent's notices of new bills.
struct WalletContext {
  Services services;
  ChildIdentity& child;
  RemoteEvents& remote;
};

}  // namespace twig
