#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/MainLoop.h"

namespace twig {

// A task queue served by a fixed number of threads: the common core of serial queues and pools.
// Destruction runs what is already queued, then joins. A task that throws is reported on stderr
// and does not take its thread down.
class WorkerThreads {
 public:
  WorkerThreads(std::size_t threads, std::string label);
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  void submit(Task task);
  bool isWorkerThread() const;
  std::size_t size() const { return workers_.size(); }
  const std::string& label() const { return label_; }

 private:
  void work();

  std::string label_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace twig
