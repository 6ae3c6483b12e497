#pragma once

#include <cstdio>
#include <functional>

#include "frame/StackScreenHost.h"

namespace twig {

// The screen host of the headless agent: prints one line per screen change, overlay, bar, alert and
// state change, so that people and scripts can follow what a screen would show.
class ConsoleScreenHost final : public StackScreenHost {
 public:
  explicit ConsoleScreenHost(std::FILE* out = stdout) : out_(out) {}
  // Told of every line after it is printed (the headless runner watches for screens to act on).
  void setLineObserver(std::function<void(const std::string&)> observer) { observer_ = std::move(observer); }
  void print(const std::string& line);

 protected:
  void render(LineKind kind, const std::string& line) override;

 private:
  std::FILE* out_;
  std::function<void(const std::string&)> observer_;
};

}  // namespace twig
