#include "platform/linux/DirectoryImageCache.h"

#include <system_error>

namespace twig {

void DirectoryImageCache::clearDisk() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    std::error_code ignored;  // a file that cannot be removed is simply kept
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

}  // namespace twig
