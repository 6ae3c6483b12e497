#pragma once

#include <string>

#include "platform/WorkerThreads.h"

namespace twig {

// One thread running tasks in the order they were submitted (the object cache's file work, for
// instance). Destruction runs what is already queued, then joins.
class SerialQueue {
 public:
  explicit SerialQueue(std::string label) : worker_(1, std::move(label)) {}

  void async(Task task) { worker_.submit(std::move(task)); }
  // Runs `task` on the queue and waits for it; its exception, if any, is rethrown here. Called from
  // the queue's own thread it runs inline, so a queued step may call back into its owner.
  void sync(const std::function<void()>& task);
  bool isCurrent() const { return worker_.isWorkerThread(); }
  const std::string& label() const { return worker_.label(); }

 private:
  WorkerThreads worker_;
};

}  // namespace twig
