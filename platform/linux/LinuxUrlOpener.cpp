#include "platform/linux/LinuxUrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace twig {

LinuxUrlOpener::LinuxUrlOpener(std::vector<std::filesystem::path> applicationFolders)
    : folders_(std::move(applicationFolders)) {}

std::vector<std::filesystem::path> LinuxUrlOpener::defaultApplicationFolders() {
  std::vector<std::filesystem::path> folders;
  if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome != nullptr && *dataHome != '\0') {
    folders.emplace_back(std::filesystem::path(dataHome) / "applications");
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folders.emplace_back(std::filesystem::path(home) / ".local/share/applications");
  }
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::stringstream list(dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share:/usr/share");
  for (std::string folder; std::getline(list, folder, ':');) {
    if (!folder.empty()) folders.emplace_back(std::filesystem::path(folder) / "applications");
  }
  return folders;
}

bool LinuxUrlOpener::canOpenURL(const std::string& url) {
  const auto colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  const std::string wanted = "x-scheme-handler/" + url.substr(0, colon);
  for (const auto& folder : folders_) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      if (entry.path().extension() != ".desktop") continue;
      std::ifstream file(entry.path());
      for (std::string line; std::getline(file, line);) {
        if (line.rfind("MimeType=", 0) != 0) continue;
        std::stringstream types(line.substr(9));
        for (std::string type; std::getline(types, type, ';');) {
          if (type == wanted) return true;
        }
      }
    }
  }
  return false;
}

bool LinuxUrlOpener::openURL(const std::string& url) {
  if (announcer_) announcer_(url);
  std::string program = "xdg-open";
  std::string argument = url;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  // Reaped in the background: the opener may take its time, and the caller must not wait.
  std::thread([child] {
    int status = 0;
    waitpid(child, &status, 0);
  }).detach();
  return true;
}

}  // namespace twig
