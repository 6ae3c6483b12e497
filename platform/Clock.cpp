#include "platform/Clock.h"

namespace twig {

ClockWatch& ClockWatch::operator=(ClockWatch&& other) noexcept {
  if (this != &other) {
    reset();
    cancel_ = std::exchange(other.cancel_, nullptr);
  }
  return *this;
}

void ClockWatch::reset() {
  if (cancel_) std::exchange(cancel_, nullptr)();
}

}  // namespace twig
