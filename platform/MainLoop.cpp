#include "platform/MainLoop.h"

namespace twig {

TimerHandle& TimerHandle::operator=(TimerHandle&& other) noexcept {
  if (this != &other) {
    invalidate();
    control_ = std::move(other.control_);
  }
  return *this;
}

void TimerHandle::invalidate() {
  if (control_) {
    control_->invalidate();
    control_.reset();
  }
}

void TimerHandle::pause() {
  if (control_) control_->pause();
}

void TimerHandle::fireNow() {
  if (control_) control_->fireNow();
}

}  // namespace twig
