#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace twig {

// SIGINT and SIGTERM for an agent's run: made first, it blocks them in the calling thread, so every
// thread made afterwards inherits the block; watch() takes them on one thread of its own and runs
// `onStop` there. Dropping it wakes and joins that thread, however the run ended.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  void watch(std::function<void()> onStop);
  // Wakes and joins the watcher (also done by the destructor).
  void stop();

 private:
  sigset_t signals_{};
  std::thread watcher_;
};

}  // namespace twig
