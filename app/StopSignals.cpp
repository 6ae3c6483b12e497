#include "app/StopSignals.h"

namespace twig {

StopSignals::StopSignals() {
  sigemptyset(&signals_);
  sigaddset(&signals_, SIGINT);
  sigaddset(&signals_, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
}

StopSignals::~StopSignals() {
  stop();
}

void StopSignals::watch(std::function<void()> onStop) {
  if (watcher_.joinable()) return;
  watcher_ = std::thread([signals = signals_, onStop = std::move(onStop)] {
    int received = 0;
    sigwait(&signals, &received);
    if (onStop) onStop();
  });
}

void StopSignals::stop() {
  if (!watcher_.joinable()) return;
  // The watcher may still wait for a signal when the run ended another way; wake it.
  pthread_kill(watcher_.native_handle(), SIGTERM);
  watcher_.join();
}

}  // namespace twig
