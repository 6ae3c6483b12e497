#pragma once

#include "platform/Signal.h"

namespace twig {

// What the parent's commands tell the rest of the agent, raised only by the routes of those
// commands (and by the pull cycle's answer that the device is no longer bound). Emitted on the
// thread that delivers the command: an observer that touches main-loop state hops there.
struct RemoteEvents {
  // "Reset": the device was unbound; everything stored goes and the binding screen returns.
  Signal<> reset;
  // An "EventNotification" of type "bills": new entries in the bill of points.
  Signal<> bills;
};

}  // namespace twig
