#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ProcessTable.h"

namespace twig {

// Process names from /proc/<pid>/comm: the kernel's name of each process, which it cuts at 15 bytes.
// A name of that length is completed from the executable's link or first argument when those
// begin with it, so that "gnome-calculator" is seen as itself and not as "gnome-calculato".
class ProcProcessTable final : public ProcessTable {
 public:
  static constexpr std::size_t kKernelNameBytes = 15;

  explicit ProcProcessTable(std::filesystem::path proc = "/proc") : proc_(std::move(proc)) {}
  std::optional<std::vector<std::string>> runningProcesses() override;

  // The kernel cuts names at a byte count, possibly inside a character: the longest prefix that is
  // valid UTF-8.
  static std::string longestValidUtf8Prefix(std::string_view bytes);

 private:
  std::filesystem::path proc_;
};

}  // namespace twig
