#include "platform/FailureLog.h"

#include <cstdio>

namespace twig {

bool FailureLog::failed(const std::string& cause) {
  std::lock_guard lock(mutex_);
  if (failing_ && cause == lastCause_) return false;
  failing_ = true;
  lastCause_ = cause;
  std::fprintf(stderr, "twig: %s: %s\n", subject_.c_str(), cause.c_str());
  return true;
}

void FailureLog::succeeded() {
  std::lock_guard lock(mutex_);
  failing_ = false;
  lastCause_.clear();
}

}  // namespace twig
