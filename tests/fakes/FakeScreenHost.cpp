#include "tests/fakes/FakeScreenHost.h"

#include <algorithm>

namespace twig::test {

std::vector<std::string> FakeScreenHost::lines(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const auto& line : lines_) {
    if (line.rfind(prefix + " ", 0) == 0) matching.push_back(line);
  }
  return matching;
}

bool FakeScreenHost::saw(const std::string& line) const {
  return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

}  // namespace twig::test
