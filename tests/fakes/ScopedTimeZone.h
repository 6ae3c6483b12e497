#pragma once

#include <optional>
#include <string>

namespace twig::test {

// Sets TZ (a POSIX rule such as "TST-8" needs no time-zone database) for the life of the object.
// Call before starting threads.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const std::string& rule);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace twig::test
