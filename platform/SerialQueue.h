#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/MainLoop.h"

namespace twig {

// Runs tasks one at a time, in the order they were submitted (the object cache's file work, for
// instance). Like a serial dispatch queue, a synchronous task runs on the calling thread when the
// queue is idle, and otherwise waits for its turn; either way no two tasks ever overlap.
// Destruction runs what is already queued, then joins.
class SerialQueue {
 public:
  explicit SerialQueue(std::string label);
  ~SerialQueue();
  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;

  void async(Task task);
  // Runs `task` in its turn and waits for it; its exception, if any, is rethrown here. Called from
  // a task of this queue it runs at once, so a queued step may call back into its owner.
  void sync(const std::function<void()>& task);
  // Whether the calling thread is running a task of this queue.
  bool isCurrent() const { return owner_.load() == std::this_thread::get_id(); }
  const std::string& label() const { return label_; }

 private:
  void work();

  std::string label_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool busy_ = false;  // a task is running, on the worker or on a calling thread
  bool stopping_ = false;
  std::atomic<std::thread::id> owner_{};
  std::thread worker_;
};

}  // namespace twig
