#include "platform/linux/FolderPhotoLibrary.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>

#include "platform/ImageCodec.h"

namespace twig {

namespace fs = std::filesystem;

namespace {

bool isPhotoName(const fs::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  static constexpr std::string_view kExtensions[] = {".jpg", ".jpeg", ".png",  ".webp", ".gif",
                                                     ".bmp", ".tif",  ".tiff", ".heic"};
  return std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions);
}

bool isHidden(const fs::path& name) {
  return !name.empty() && name.string().front() == '.';
}

}  // namespace

FolderPhotoLibrary::FolderPhotoLibrary(fs::path folder, ImageCodec& codec)
    : folder_(std::move(folder)), codec_(codec) {}

fs::path FolderPhotoLibrary::picturesFolder(const fs::path& configHome, const fs::path& home) {
  std::ifstream dirs(configHome / "user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line)) {
    static constexpr std::string_view kKey = "XDG_PICTURES_DIR=";
    if (line.rfind(kKey, 0) != 0) continue;
    std::string value = line.substr(kKey.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    fs::path folder;
    if (value.rfind("$HOME", 0) == 0) {
      folder = home / fs::path(value.substr(5)).relative_path();
    } else if (!value.empty() && value.front() == '/') {
      folder = value;
    }
    folder = folder.lexically_normal();
    if (!folder.empty() && !folder.has_filename()) folder = folder.parent_path();
    // The home folder itself means "no pictures folder" to the XDG tools: a library of the whole
    // home folder would list everything the child ever saved.
    if (!folder.empty() && folder != home.lexically_normal()) return folder;
    break;
  }
  return home / "Pictures";
}

fs::path FolderPhotoLibrary::picturesFolder() {
  const char* homeVariable = std::getenv("HOME");
  const fs::path home =
      homeVariable != nullptr && *homeVariable != '\0' ? fs::path(homeVariable) : fs::path("/");
  const char* configVariable = std::getenv("XDG_CONFIG_HOME");
  const fs::path config =
      configVariable != nullptr && *configVariable == '/' ? fs::path(configVariable) : home / ".config";
  return picturesFolder(config, home);
}

std::optional<std::vector<std::string>> FolderPhotoLibrary::photos() {
  std::error_code error;
  if (!fs::exists(folder_, error)) return std::vector<std::string>();  // no photos yet
  if (!fs::is_directory(folder_, error) || ::access(folder_.c_str(), R_OK | X_OK) != 0) return std::nullopt;
  fs::recursive_directory_iterator walk(folder_, fs::directory_options::skip_permission_denied, error);
  if (error) return std::nullopt;
  std::vector<std::pair<fs::file_time_type, std::string>> found;
  for (auto end = fs::recursive_directory_iterator(); walk != end; walk.increment(error)) {
    if (error) break;
    const fs::path& path = walk->path();
    if (isHidden(path.filename())) {
      if (walk->is_directory(error)) walk.disable_recursion_pending();
      continue;
    }
    if (!walk->is_regular_file(error) || !isPhotoName(path)) continue;
    const auto modified = walk->last_write_time(error);
    if (error) continue;
    found.emplace_back(modified, path.string());
  }
  // Newest first; the path breaks ties so that the order is the same on every listing.
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  std::vector<std::string> addresses;
  addresses.reserve(found.size());
  for (auto& entry : found) addresses.push_back(std::move(entry.second));
  return addresses;
}

bool FolderPhotoLibrary::isInside(const fs::path& file) const {
  std::error_code error;
  const fs::path root = fs::weakly_canonical(folder_, error);
  if (error) return false;
  const fs::path target = fs::weakly_canonical(file, error);
  if (error) return false;
  auto [rootEnd, targetPosition] = std::mismatch(root.begin(), root.end(), target.begin(), target.end());
  return rootEnd == root.end() && targetPosition != target.end();
}

ImageRef FolderPhotoLibrary::thumbnail(const std::string& address) {
  if (!isInside(address)) return nullptr;
  return codec_.decodeFile(address, kThumbnailSide);
}

ImageRef FolderPhotoLibrary::fullScreenImage(const std::string& address) {
  if (!isInside(address)) return nullptr;
  return codec_.decodeFile(address, kFullScreenSide);
}

}  // namespace twig
