#pragma once

#include <optional>
#include <string>
#include <vector>

namespace twig {

// The names of the running processes, one entry per process; only membership matters.
class ProcessTable {
 public:
  virtual ~ProcessTable() = default;
  // Nothing when the table cannot be read.
  virtual std::optional<std::vector<std::string>> runningProcesses() = 0;
};

}  // namespace twig
