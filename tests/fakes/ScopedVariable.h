#pragma once

#include <optional>
#include <string>

namespace twig::test {

// Sets an environment variable for the life of the object (for the programs and libraries a test
// starts), then puts back what was there. Call before starting threads that read it.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::string& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace twig::test
