#include "platform/fake/FakeDeviceFacts.h"

namespace twig {

void FakeDeviceFacts::set(Values values) {
  std::lock_guard lock(mutex_);
  values_ = std::move(values);
}

FakeDeviceFacts::Values FakeDeviceFacts::values() const {
  std::lock_guard lock(mutex_);
  return values_;
}

}  // namespace twig
