#pragma once

#include <memory>
#include <mutex>

namespace twig {

// The slot of a process-wide object: made once on first use (thread-safe), ended on request before
// the ports it was made from go away, and made afresh by the next use.
template <class T>
class SharedInstance {
 public:
  template <class Make>
  T& get(Make make) {
    std::lock_guard lock(mutex_);
    if (!instance_) instance_ = make();
    return *instance_;
  }
  T& get() {
    return get([] { return std::make_unique<T>(); });
  }
  // The object if it has been made, without making it. The caller must know that no reset runs
  // meanwhile (the process's shutdown, which alone resets, calls this before resetting).
  T* peek() {
    std::lock_guard lock(mutex_);
    return instance_.get();
  }
  // The object is destroyed outside the lock, so that its destructor may use other shared objects.
  void reset() {
    std::unique_ptr<T> ending;
    {
      std::lock_guard lock(mutex_);
      ending = std::move(instance_);
    }
  }

 private:
  std::mutex mutex_;
  std::unique_ptr<T> instance_;
};

}  // namespace twig
