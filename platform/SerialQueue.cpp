#include "platform/SerialQueue.h"

#include <pthread.h>

#include <cstdio>
#include <exception>
#include <memory>

namespace twig {

namespace {

std::exception_ptr runCapturing(const std::function<void()>& task) {
  try {
    task();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

}  // namespace

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {
  worker_ = std::thread([this] { work(); });
  // Thread names are cut to 15 bytes by the kernel; they only help debugging.
  pthread_setname_np(worker_.native_handle(), label_.substr(0, 15).c_str());
}

SerialQueue::~SerialQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void SerialQueue::async(Task task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void SerialQueue::sync(const std::function<void()>& task) {
  if (isCurrent()) {
    task();
    return;
  }
  std::unique_lock lock(mutex_);
  if (!tasks_.empty() || busy_) {
    // Earlier tasks go first: queue a marker and take over when the worker reaches it. The worker
    // stays parked on the marker until this thread has run its task.
    struct Handoff {
      bool reached = false;
      bool finished = false;
    };
    auto handoff = std::make_shared<Handoff>();
    tasks_.push_back([this, handoff] {
      std::unique_lock inner(mutex_);
      handoff->reached = true;
      wake_.notify_all();
      wake_.wait(inner, [&] { return handoff->finished; });
    });
    wake_.notify_all();
    wake_.wait(lock, [&] { return handoff->reached; });
    lock.unlock();
    const auto previousOwner = owner_.exchange(std::this_thread::get_id());
    const std::exception_ptr failure = runCapturing(task);
    owner_ = previousOwner;
    lock.lock();
    handoff->finished = true;
    wake_.notify_all();
    lock.unlock();
    if (failure) std::rethrow_exception(failure);
    return;
  }
  // Idle queue: run here, with the queue marked busy so that the worker waits.
  busy_ = true;
  lock.unlock();
  owner_ = std::this_thread::get_id();
  const std::exception_ptr failure = runCapturing(task);
  owner_ = std::thread::id();
  lock.lock();
  busy_ = false;
  lock.unlock();
  wake_.notify_all();
  if (failure) std::rethrow_exception(failure);
}

void SerialQueue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return (!busy_ && !tasks_.empty()) || (stopping_ && tasks_.empty() && !busy_); });
    if (tasks_.empty()) return;
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    busy_ = true;
    lock.unlock();
    owner_ = std::this_thread::get_id();
    try {
      task();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "twig: task on queue %s failed: %s\n", label_.c_str(), e.what());
    } catch (...) {
      std::fprintf(stderr, "twig: task on queue %s failed\n", label_.c_str());
    }
    owner_ = std::thread::id();
    lock.lock();
    busy_ = false;
  }
}

}  // namespace twig
