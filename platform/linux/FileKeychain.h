#pragma once

#include <filesystem>
#include <mutex>

#include "platform/Keychain.h"

namespace twig {

// A keychain kept as one private file per entry (mode 0600) under a folder of its own, apart from
// the application's data.
class FileKeychain final : public Keychain {
 public:
  explicit FileKeychain(std::filesystem::path folder);
  std::optional<std::string> read(std::string_view service, std::string_view account) override;
  bool write(std::string_view service, std::string_view account, std::string_view value) override;
  bool remove(std::string_view service, std::string_view account) override;

  // The file name used for a service or account: safe for any bytes, never "." or "..".
  static std::string encodeName(std::string_view name);

 private:
  std::filesystem::path entryPath(std::string_view service, std::string_view account) const;
  std::filesystem::path folder_;
  std::mutex mutex_;
};

}  // namespace twig
