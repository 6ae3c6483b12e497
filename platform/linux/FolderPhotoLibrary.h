#pragma once

#include <filesystem>
#include <optional>

#include "platform/PhotoLibrary.h"

namespace twig {

class ImageCodec;

// The photos of a folder (by default the user's pictures folder of the XDG user directories) and
// its subfolders; a photo's address is its path. Hidden files and folders are left out.
class FolderPhotoLibrary final : public PhotoLibrary {
 public:
  static constexpr int kThumbnailSide = 256;
  static constexpr int kFullScreenSide = 1280;

  FolderPhotoLibrary(std::filesystem::path folder, ImageCodec& codec);

  // XDG_PICTURES_DIR of `configHome`/user-dirs.dirs ("$HOME/..." or an absolute path), else
  // `home`/Pictures.
  static std::filesystem::path picturesFolder(const std::filesystem::path& configHome,
                                              const std::filesystem::path& home);
  // The same for this process's user (XDG_CONFIG_HOME, HOME).
  static std::filesystem::path picturesFolder();

  const std::filesystem::path& folder() const { return folder_; }
  std::optional<std::vector<std::string>> photos() override;
  ImageRef thumbnail(const std::string& address) override;
  ImageRef fullScreenImage(const std::string& address) override;

 private:
  // Only addresses inside the folder are read: an address is handed out by photos() and comes back
  // through screens, and nothing else on the disk is the library's.
  bool isInside(const std::filesystem::path& file) const;

  std::filesystem::path folder_;
  ImageCodec& codec_;
};

}  // namespace twig
