#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ProcessControl.h"
#include "platform/ProcessTable.h"

namespace twig {

// Process names from /proc/<pid>/comm: the kernel's name of each process, which it cuts at 15 bytes.
// A name of that length is completed from the executable's link or first argument when those
// begin with it, so that "gnome-calculator" is seen as itself and not as "gnome-calculato". Also
// the processes with their owners (the real user id of /proc/<pid>/status), and kill(2).
class ProcProcessTable final : public ProcessTable, public ProcessControl {
 public:
  static constexpr std::size_t kKernelNameBytes = 15;

  explicit ProcProcessTable(std::filesystem::path proc = "/proc") : proc_(std::move(proc)) {}
  std::optional<std::vector<std::string>> runningProcesses() override;
  std::vector<RunningProcess> processes() override;
  bool signal(int pid, int signal) override;
  unsigned currentUser() const override;
  int currentProcess() const override;

  // The kernel cuts names at a byte count, possibly inside a character: the longest prefix that is
  // valid UTF-8.
  static std::string longestValidUtf8Prefix(std::string_view bytes);

 private:
  // The name of the process of a /proc entry; nothing when it ended meanwhile.
  std::optional<std::string> nameOf(const std::filesystem::path& process) const;

  std::filesystem::path proc_;
};

}  // namespace twig
