#include "platform/linux/DataDirectories.h"

#include <system_error>

namespace twig {

DataDirectories::DataDirectories(std::filesystem::path applicationRoot) : root_(std::move(applicationRoot)) {}

std::filesystem::path DataDirectories::ensure(const char* name) {
  auto path = root_ / name;
  std::error_code ignored;  // a folder that cannot be made shows up as failed reads and writes later
  std::filesystem::create_directories(path, ignored);
  return path;
}

std::filesystem::path DataDirectories::caches() {
  return ensure("Caches");
}
std::filesystem::path DataDirectories::documents() {
  return ensure("Documents");
}
std::filesystem::path DataDirectories::preferences() {
  return ensure("Preferences");
}

}  // namespace twig
