#include "platform/WorkerThreads.h"

#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace twig {

WorkerThreads::WorkerThreads(std::size_t threads, std::string label) : label_(std::move(label)) {
  if (threads == 0) threads = 1;
  workers_.reserve(threads);
  for (std::size_t i = 0; i < threads; ++i) {
    workers_.emplace_back([this] { work(); });
    // Thread names are cut to 15 bytes by the kernel; they only help debugging.
    pthread_setname_np(workers_.back().native_handle(), label_.substr(0, 15).c_str());
  }
}

WorkerThreads::~WorkerThreads() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& worker : workers_) worker.join();
}

void WorkerThreads::submit(Task task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

bool WorkerThreads::isWorkerThread() const {
  const auto me = std::this_thread::get_id();
  return std::any_of(workers_.begin(), workers_.end(),
                     [&](const std::thread& t) { return t.get_id() == me; });
}

void WorkerThreads::work() {
  for (;;) {
    Task task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    try {
      task();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "twig: task on %s failed: %s\n", label_.c_str(), e.what());
    } catch (...) {
      std::fprintf(stderr, "twig: task on %s failed\n", label_.c_str());
    }
  }
}

}  // namespace twig
