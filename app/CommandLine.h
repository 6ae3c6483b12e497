#pragma once

#include <optional>

namespace CLI {
class App;
}

namespace twig {

// Parses an executable's command line the same way everywhere: help and version print and end with
// 0, a usage error names the problem and ends with 2.
class CommandLine {
 public:
  // The exit code when the program should end now; nothing when it should go on.
  static std::optional<int> parse(CLI::App& app, int argc, char** argv, const char* program);
};

}  // namespace twig
