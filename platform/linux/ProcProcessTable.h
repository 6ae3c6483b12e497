#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/ProcessTable.h"

namespace twig {

// Process names from /proc/<pid>/comm: the kernel's name of each process, at most 15 bytes.
class ProcProcessTable final : public ProcessTable {
 public:
  explicit ProcProcessTable(std::filesystem::path proc = "/proc") : proc_(std::move(proc)) {}
  std::optional<std::vector<std::string>> runningProcesses() override;

  // The kernel cuts names at a byte count, possibly inside a character: the longest prefix that is
  // valid UTF-8.
  static std::string longestValidUtf8Prefix(std::string_view bytes);

 private:
  std::filesystem::path proc_;
};

}  // namespace twig
