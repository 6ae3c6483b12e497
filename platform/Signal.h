#pragma once

#include <any>
#include <functional>
#include <tuple>

#include "platform/NotificationCenter.h"

namespace twig {

// A typed event of one object: its observers connect with a function of the event's values and
// hold the returned token; dropping the token disconnects them. Delivery is synchronous on the
// emitting thread, in the order of connection, with the guarantees of NotificationCenter (after a
// token's reset() the observer is not running anywhere and is not called again). Unlike a named
// notification, nothing but the owner can emit it.
template <class... Args>
class Signal {
 public:
  using Slot = std::function<void(const Args&...)>;

  [[nodiscard]] ObserverToken connect(Slot slot) {
    return observers_.addObserver(kName, [slot = std::move(slot)](const Notification& notification) {
      if (const auto* values = std::any_cast<std::tuple<Args...>>(&notification.object))
        std::apply(slot, *values);
    });
  }
  void notify(const Args&... values) { observers_.post(kName, std::tuple<Args...>(values...)); }
  std::size_t connections() const { return observers_.observerCount(kName); }

 private:
  static constexpr const char* kName = "signal";
  NotificationCenter observers_;
};

}  // namespace twig
