#pragma once

#include <mutex>
#include <string>

namespace twig {

// One line on stderr per cause of a failure that may repeat every few seconds (a database that
// cannot be read at every evaluation): the first failure with a cause is told, the same cause again
// is not, until a success ends the trouble. Callable from any thread.
class FailureLog {
 public:
  explicit FailureLog(std::string subject) : subject_(std::move(subject)) {}

  // Prints "twig: SUBJECT: CAUSE" unless this cause was the last one told. True when it printed.
  bool failed(const std::string& cause);
  // The trouble is over: the next failure is told again, whatever its cause.
  void succeeded();

 private:
  std::string subject_;
  std::mutex mutex_;
  std::string lastCause_;
  bool failing_ = false;
};

}  // namespace twig
