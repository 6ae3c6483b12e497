#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/InstalledApplications.h"

namespace twig {

// The installed applications as the desktop lists them: the freedesktop desktop entries
// (`applications/*.desktop`, subfolders too) of the XDG data folders, the user's own first.
// Each record: "bundleId" the desktop file id ("org.gnome.Calculator.desktop" without
// ".desktop"; "kde-foo" for kde/foo.desktop), "bundleExecutable" the base name of the program the
// entry runs (through `env`, `flatpak run` → the application id, `snap run`, symbolic links and
// PATH), "displayName" the Chinese name where the entry has one, else its name, and "tagIds" the
// store tags its categories stand for. Hidden entries (which also hide the same id in later
// folders), NoDisplay entries, other types than Application and entries whose TryExec program is
// missing are left out. Read afresh on every fetch.
class DesktopEntryApplications final : public InstalledApplications {
 public:
  struct Options {
    std::vector<std::filesystem::path> dataFolders;  // in order of precedence
    std::string locale = "zh_CN";
    std::string path;  // the PATH programs are looked up in
  };

  explicit DesktopEntryApplications(Options options) : options_(std::move(options)) {}
  // XDG_DATA_HOME (or ~/.local/share), then XDG_DATA_DIRS (or /usr/local/share:/usr/share); PATH.
  static Options forThisUser();

  std::optional<Json> fetch() override;

  // The program an Exec line runs, as the process table names it; empty when there is none.
  static std::string executableOf(const std::string& exec, const std::string& path);
  // The store tags of a desktop entry's categories (games, chat), in one table.
  static Json tagsFor(const std::vector<std::string>& categories);

 private:
  Options options_;
};

}  // namespace twig
