#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace twig {

// The thread of a watcher that waits on a bus: runs `watch` with an eventfd that becomes readable
// when the watcher is to stop, then `ended`; the destructor signals that eventfd and joins.
// Declare it last in its owner, so that it goes first.
class WatcherThread {
 public:
  WatcherThread(std::function<void(int wake)> watch, std::function<void()> ended);
  ~WatcherThread();
  WatcherThread(const WatcherThread&) = delete;
  WatcherThread& operator=(const WatcherThread&) = delete;
  // True once `watch` returned (no bus, no service, or stopped).
  bool ended() const { return ended_; }

 private:
  int wake_ = -1;
  std::atomic<bool> ended_{false};
  std::thread thread_;
};

}  // namespace twig
