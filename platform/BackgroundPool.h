#pragma once

#include <string>

#include "platform/WorkerThreads.h"

namespace twig {

// A fixed number of worker threads (two for photo uploads). Destruction finishes queued work, then joins.
class BackgroundPool {
 public:
  explicit BackgroundPool(std::size_t threads = 2, std::string label = "twig-pool")
      : workers_(threads, std::move(label)) {}

  void submit(Task task) { workers_.submit(std::move(task)); }
  std::size_t size() const { return workers_.size(); }

 private:
  WorkerThreads workers_;
};

}  // namespace twig
