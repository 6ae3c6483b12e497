#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace twig {

// Whole-file reads and crash-safe whole-file writes.
class AtomicFile {
 public:
  // Writes to a temporary file beside `path`, flushes it to disk and renames it over `path`, so that
  // a process killed at any moment leaves either the old or the new content. False on failure
  // (the old content is then untouched). The folder is flushed too, so that the new name survives a
  // power cut; a caller that writes another file to the same folder right after may leave that to
  // the second write (`flushFolder` false).
  static bool write(const std::filesystem::path& path, std::string_view bytes, mode_t mode = 0644,
                    bool flushFolder = true);
  // Nothing when the file is missing or unreadable.
  static std::optional<std::string> read(const std::filesystem::path& path);
};

}  // namespace twig
