#include "app/ConsoleScreenHost.h"

namespace twig {

void ConsoleScreenHost::print(const std::string& line) {
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void ConsoleScreenHost::render(LineKind kind, const std::string& line) {
  if (kind == LineKind::Keyboard) return;  // there is no keyboard to hide
  print(line);
  if (observer_) observer_(line);
}

}  // namespace twig
