#include "platform/SerialQueue.h"

#include <future>

namespace twig {

void SerialQueue::sync(const std::function<void()>& task) {
  if (isCurrent()) {
    task();
    return;
  }
  std::promise<void> finished;
  auto future = finished.get_future();
  async([&] {
    try {
      task();
      finished.set_value();
    } catch (...) {
      finished.set_exception(std::current_exception());
    }
  });
  future.get();
}

}  // namespace twig
