#include "platform/linux/FileKeychain.h"

#include <sys/stat.h>

#include <cstdio>
#include <system_error>

#include "platform/AtomicFile.h"

namespace twig {

FileKeychain::FileKeychain(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::string FileKeychain::encodeName(std::string_view name) {
  if (name.empty()) return "%";
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || (c == '.' && i > 0);
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    }
  }
  return out;
}

std::filesystem::path FileKeychain::entryPath(std::string_view service, std::string_view account) const {
  return folder_ / encodeName(service) / encodeName(account);
}

std::optional<std::string> FileKeychain::read(std::string_view service, std::string_view account) {
  std::lock_guard lock(mutex_);
  return AtomicFile::read(entryPath(service, account));
}

bool FileKeychain::write(std::string_view service, std::string_view account, std::string_view value) {
  std::lock_guard lock(mutex_);
  const auto path = entryPath(service, account);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) return false;
  ::chmod(folder_.c_str(), 0700);
  ::chmod(path.parent_path().c_str(), 0700);
  return AtomicFile::write(path, value, 0600);
}

bool FileKeychain::remove(std::string_view service, std::string_view account) {
  std::lock_guard lock(mutex_);
  std::error_code error;
  return std::filesystem::remove(entryPath(service, account), error);
}

}  // namespace twig
