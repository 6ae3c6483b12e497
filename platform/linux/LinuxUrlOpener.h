#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/UrlOpener.h"

namespace twig {

// Links are handed to xdg-open. A scheme counts as handled when an installed desktop entry
// declares it ("MimeType=...x-scheme-handler/<scheme>;") in one of the applications folders.
class LinuxUrlOpener final : public UrlOpener {
 public:
  // Folders holding desktop entries; by default those of the XDG base directories.
  explicit LinuxUrlOpener(
      std::vector<std::filesystem::path> applicationFolders = defaultApplicationFolders());
  bool openURL(const std::string& url) override;
  bool canOpenURL(const std::string& url) override;
  // Told of every link opened (the headless agent prints them).
  void setAnnouncer(std::function<void(const std::string& url)> announcer) {
    announcer_ = std::move(announcer);
  }

  static std::vector<std::filesystem::path> defaultApplicationFolders();

 private:
  std::vector<std::filesystem::path> folders_;
  std::function<void(const std::string&)> announcer_;
};

}  // namespace twig
