#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace twig {

// The calls a fake was asked, one line each, for tests to read. Thread-safe.
class CallRecorder {
 public:
  // Also told of every call, for tests that follow the order across several fakes.
  std::function<void(const std::string&)> echo;

  std::vector<std::string> calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 protected:
  void record(std::string line) {
    if (echo) echo(line);
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(line));
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

}  // namespace twig
