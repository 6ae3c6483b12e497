#pragma once

#include <mutex>

#include "platform/ProcessTable.h"

namespace twig {

// A process table a test fills; it can also fail.
class FakeProcessTable final : public ProcessTable {
 public:
  std::optional<std::vector<std::string>> runningProcesses() override {
    std::lock_guard lock(mutex_);
    return processes_;
  }
  void set(std::optional<std::vector<std::string>> processes) {
    std::lock_guard lock(mutex_);
    processes_ = std::move(processes);
  }

 private:
  std::mutex mutex_;
  std::optional<std::vector<std::string>> processes_ = std::vector<std::string>{};
};

}  // namespace twig
