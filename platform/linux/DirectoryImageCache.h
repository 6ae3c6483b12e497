#pragma once

#include <filesystem>

#include "platform/ImageDownloadCache.h"

namespace twig {

// Downloaded pictures kept as files in one folder.
class DirectoryImageCache final : public ImageDownloadCache {
 public:
  explicit DirectoryImageCache(std::filesystem::path folder) : folder_(std::move(folder)) {}
  void clearDisk() override;
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

}  // namespace twig
