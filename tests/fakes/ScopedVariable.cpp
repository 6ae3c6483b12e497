#include "tests/fakes/ScopedVariable.h"

#include <stdlib.h>

#include <utility>

namespace twig::test {

ScopedVariable::ScopedVariable(std::string name, const std::string& value) : name_(std::move(name)) {
  if (const char* old = ::getenv(name_.c_str())) previous_ = old;
  ::setenv(name_.c_str(), value.c_str(), 1);
}

ScopedVariable::~ScopedVariable() {
  if (previous_) {
    ::setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

}  // namespace twig::test
