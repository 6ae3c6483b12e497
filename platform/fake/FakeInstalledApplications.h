#pragma once

#include <mutex>

#include "platform/InstalledApplications.h"

namespace twig {

// The installed list a test sets (nothing by default, like a platform without one).
class FakeInstalledApplications final : public InstalledApplications {
 public:
  std::optional<Json> fetch() override {
    std::lock_guard lock(mutex_);
    return list_;
  }
  void set(std::optional<Json> list) {
    std::lock_guard lock(mutex_);
    list_ = std::move(list);
  }

 private:
  std::mutex mutex_;
  std::optional<Json> list_;
};

}  // namespace twig
