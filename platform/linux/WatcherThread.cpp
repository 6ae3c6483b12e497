#include "platform/linux/WatcherThread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace twig {

WatcherThread::WatcherThread(std::function<void(int wake)> watch, std::function<void()> ended)
    : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wake_ < 0) {
    ended_ = true;
    return;
  }
  thread_ = std::thread([this, watch = std::move(watch), ended = std::move(ended)] {
    watch(wake_);
    ended_ = true;
    if (ended) ended();
  });
}

WatcherThread::~WatcherThread() {
  if (wake_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
  if (thread_.joinable()) thread_.join();
  ::close(wake_);
}

}  // namespace twig
