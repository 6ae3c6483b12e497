#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace twig {

// The object cache's index: each key's expiry, an absolute date or "never" (the integer 0 in the
// file). Kept as an XML property list, "OAKCache.plist", rewritten whole.
class ObjectCacheIndex {
 public:
  using Expiry = std::optional<WallTime>;  // nothing: never expires

  // The entries of an index file; empty when the file is missing or unreadable. Entries whose value
  // is neither a date nor an integer are dropped.
  static std::map<std::string, Expiry> load(const std::filesystem::path& file);
  // The property-list text of the entries.
  static std::string toXml(const std::map<std::string, Expiry>& entries);
  static std::optional<std::map<std::string, Expiry>> fromXml(std::string_view xml);
  // Crash-safe rewrite of the whole file.
  static bool save(const std::filesystem::path& file, const std::map<std::string, Expiry>& entries);
};

}  // namespace twig
