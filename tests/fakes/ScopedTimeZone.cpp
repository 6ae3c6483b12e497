#include "tests/fakes/ScopedTimeZone.h"

#include <cstdlib>
#include <ctime>

namespace twig::test {

ScopedTimeZone::ScopedTimeZone(const std::string& rule) {
  if (const char* old = std::getenv("TZ")) previous_ = old;
  ::setenv("TZ", rule.c_str(), 1);
  ::tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
  if (previous_) {
    ::setenv("TZ", previous_->c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

}  // namespace twig::test
