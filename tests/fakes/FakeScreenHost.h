#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frame/StackScreenHost.h"
#include "frame/ViewModel.h"

namespace twig::test {

// A screen host that records every line it would show, for tests to read.
class FakeScreenHost final : public StackScreenHost {
 public:
  const std::vector<std::string>& lines() const { return lines_; }
  // Lines of one kind only: "screen ...", "overlay ...", "bar ...", "alert ...", "state ...".
  std::vector<std::string> lines(const std::string& prefix) const;
  bool saw(const std::string& line) const;
  void clear() { lines_.clear(); }
  // Also told of every line, for tests that follow the order across several fakes.
  std::function<void(const std::string&)> echo;

 protected:
  void render(LineKind, const std::string& line) override {
    if (echo) echo(line);
    lines_.push_back(line);
  }

 private:
  std::vector<std::string> lines_;
};

// A screen that shows nothing of its own (a home under the screen a test drives).
inline std::shared_ptr<ViewModel> blankScreen(std::string className) {
  static const StateShape none{};
  struct Blank final : ViewModel {
    explicit Blank(std::string name) : ViewModel(std::move(name), none) {}
  };
  return std::make_shared<Blank>(std::move(className));
}

}  // namespace twig::test
