#include "platform/linux/DesktopEntryApplications.h"

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <system_error>

namespace twig {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGroup = "Desktop Entry";

struct KeyFileFree {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
struct StringFree {
  void operator()(gchar* text) const { g_free(text); }
};
struct StringsFree {
  void operator()(gchar** list) const { g_strfreev(list); }
};
using KeyFile = std::unique_ptr<GKeyFile, KeyFileFree>;
using GString_ = std::unique_ptr<gchar, StringFree>;
using GStrings = std::unique_ptr<gchar*, StringsFree>;

std::string text(const KeyFile& file, const char* key) {
  GError* error = nullptr;
  GString_ value(g_key_file_get_string(file.get(), kGroup, key, &error));
  std::unique_ptr<GError, ErrorFree> failure(error);
  return value ? std::string(value.get()) : std::string();
}

bool flag(const KeyFile& file, const char* key) {
  GError* error = nullptr;
  const gboolean value = g_key_file_get_boolean(file.get(), kGroup, key, &error);
  std::unique_ptr<GError, ErrorFree> failure(error);
  return error == nullptr && value != FALSE;
}

std::vector<std::string> list(const KeyFile& file, const char* key) {
  gsize count = 0;
  GStrings values(g_key_file_get_string_list(file.get(), kGroup, key, &count, nullptr));
  std::vector<std::string> items;
  for (gsize i = 0; values && i < count; ++i) {
    if (values.get()[i] != nullptr && *values.get()[i] != '\0') items.emplace_back(values.get()[i]);
  }
  return items;
}

std::string localeName(const KeyFile& file, const std::string& locale) {
  GString_ value(g_key_file_get_locale_string(file.get(), kGroup, "Name", locale.c_str(), nullptr));
  return value ? std::string(value.get()) : std::string();
}

// The program's full path through PATH; empty when it is not there or not runnable.
std::string onPath(const std::string& program, const std::string& path) {
  if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0 ? program : "";
  std::stringstream folders(path);
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (folder.empty()) continue;
    const fs::path candidate = fs::path(folder) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return "";
}

std::vector<std::string> arguments(const std::string& exec) {
  gint count = 0;
  gchar** parsed = nullptr;
  if (!g_shell_parse_argv(exec.c_str(), &count, &parsed, nullptr)) return {};
  GStrings owned(parsed);
  std::vector<std::string> args;
  for (gint i = 0; i < count; ++i) {
    const std::string arg = parsed[i];
    // Field codes (%f, %U, ...) stand for files the desktop passes; they are no program.
    if (arg.size() == 2 && arg[0] == '%') continue;
    args.push_back(arg);
  }
  return args;
}

// The desktop file id of a file under an applications folder: its relative path with '/' as '-'.
std::string desktopId(const fs::path& root, const fs::path& file) {
  std::string id = fs::relative(file, root).string();
  std::replace(id.begin(), id.end(), '/', '-');
  return id.substr(0, id.size() - std::string(".desktop").size());
}

}  // namespace

DesktopEntryApplications::Options DesktopEntryApplications::forThisUser() {
  Options options;
  const char* home = std::getenv("HOME");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && *dataHome == '/') {
    options.dataFolders.emplace_back(dataHome);
  } else if (home != nullptr && *home != '\0') {
    options.dataFolders.push_back(fs::path(home) / ".local" / "share");
  }
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::stringstream folders(dataDirs != nullptr && *dataDirs != '\0' ? dataDirs
                                                                     : "/usr/local/share:/usr/share");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && folder.front() == '/') options.dataFolders.emplace_back(folder);
  }
  const char* path = std::getenv("PATH");
  options.path = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  return options;
}

std::string DesktopEntryApplications::executableOf(const std::string& exec, const std::string& path) {
  std::vector<std::string> args = arguments(exec);
  std::size_t at = 0;
  auto base = [](const std::string& program) { return fs::path(program).filename().string(); };
  // env [-i] [-u NAME] [NAME=VALUE]... PROGRAM
  if (at < args.size() && base(args[at]) == "env") {
    ++at;
    while (at < args.size()) {
      if (args[at] == "-u" || args[at] == "--unset") {
        at += 2;
      } else if (!args[at].empty() && (args[at][0] == '-' || args[at].find('=') != std::string::npos)) {
        ++at;
      } else {
        break;
      }
    }
  }
  if (at >= args.size()) return "";
  const std::string program = base(args[at]);
  // flatpak run [OPTIONS] APP-ID: the application is known by its id.
  if (program == "flatpak" && at + 1 < args.size() && args[at + 1] == "run") {
    for (std::size_t i = at + 2; i < args.size(); ++i) {
      if (!args[i].empty() && args[i][0] != '-') return args[i];
    }
    return "";
  }
  // snap run NAME, or /snap/bin/NAME
  if (program == "snap" && at + 1 < args.size() && args[at + 1] == "run") {
    for (std::size_t i = at + 2; i < args.size(); ++i) {
      if (!args[i].empty() && args[i][0] != '-') return base(args[i]);
    }
    return "";
  }
  if (args[at].rfind("/snap/bin/", 0) == 0) return program;
  // Through PATH and symbolic links to the program that really runs (x-www-browser → firefox-esr).
  const std::string full = onPath(args[at], path);
  if (!full.empty()) {
    std::error_code error;
    const fs::path real = fs::canonical(full, error);
    if (!error) return real.filename().string();
  }
  return program;
}

Json DesktopEntryApplications::tagsFor(const std::vector<std::string>& categories) {
  // The store's tags the built-in groups are filed by: 6005 social, 7001 (of 7001–7019) games.
  static const std::map<std::string, int> kTags = {
      {"Game", 7001},
      {"ActionGame", 7001},
      {"ArcadeGame", 7001},
      {"BoardGame", 7001},
      {"CardGame", 7001},
      {"Chat", 6005},
      {"InstantMessaging", 6005},
      {"IRCClient", 6005},
      {"VideoConference", 6005},
  };
  std::set<int> tags;
  for (const auto& category : categories) {
    if (auto it = kTags.find(category); it != kTags.end()) tags.insert(it->second);
  }
  if (tags.empty()) return nullptr;
  Json array = Json::array();
  for (int tag : tags) array.push_back(tag);
  return array;
}

std::optional<Json> DesktopEntryApplications::fetch() {
  std::set<std::string> seen;  // ids already decided by a folder of higher precedence
  Json records = Json::array();
  for (const auto& folder : options_.dataFolders) {
    const fs::path root = folder / "applications";
    std::error_code error;
    if (!fs::is_directory(root, error)) continue;
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator walk(root, fs::directory_options::skip_permission_denied, error),
         end;
         !error && walk != end; walk.increment(error)) {
      if (walk->path().extension() == ".desktop" && walk->is_regular_file(error))
        files.push_back(walk->path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      const std::string id = desktopId(root, file);
      if (!seen.insert(id).second) continue;
      // Every translation is kept: the Chinese name is asked for whatever the process's locale.
      KeyFile entry(g_key_file_new());
      if (!g_key_file_load_from_file(entry.get(), file.c_str(), G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
        continue;
      if (text(entry, "Type") != "Application" || flag(entry, "Hidden") || flag(entry, "NoDisplay")) continue;
      const std::string tryExec = text(entry, "TryExec");
      if (!tryExec.empty() && onPath(tryExec, options_.path).empty()) continue;
      const std::string executable = executableOf(text(entry, "Exec"), options_.path);
      const std::string name = localeName(entry, options_.locale);
      if (executable.empty() || name.empty()) continue;
      records.push_back(Json{{"bundleId", id},
                             {"bundleExecutable", executable},
                             {"displayName", name},
                             {"tagIds", tagsFor(list(entry, "Categories"))}});
    }
  }
  return records;
}

}  // namespace twig
