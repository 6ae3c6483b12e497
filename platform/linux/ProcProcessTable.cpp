#include "platform/linux/ProcProcessTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <fstream>
#include <sstream>

#include "platform/Utf8.h"

namespace twig {

namespace {

// The start of a small /proc file, read into `buffer` (no allocation: this runs for every process
// on every evaluation); nothing when it cannot be read.
template <std::size_t N>
std::optional<std::string_view> readSmall(const std::filesystem::path& file, char (&buffer)[N]) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const ssize_t length = ::read(fd, buffer, N);
  ::close(fd);
  if (length < 0) return std::nullopt;
  return std::string_view(buffer, static_cast<std::size_t>(length));
}

std::string baseName(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The executable's full name when the kernel's name is a cut of it: the target of "exe" (readable
// for the agent's own user's processes) or else the first argument in "cmdline". A name that does
// not begin with the kernel's is another program's (an interpreter, a wrapper) and is not taken.
std::optional<std::string> fullName(const std::filesystem::path& process, std::string_view kernelName) {
  char target[4096];
  const ssize_t length = ::readlink((process / "exe").c_str(), target, sizeof target);
  std::string candidate;
  if (length > 0) {
    candidate = baseName(std::string_view(target, static_cast<std::size_t>(length)));
  } else if (const auto arguments = readSmall(process / "cmdline", target)) {
    candidate = baseName(arguments->substr(0, arguments->find('\0')));
  }
  if (candidate.size() <= kernelName.size() || candidate.compare(0, kernelName.size(), kernelName) != 0) {
    return std::nullopt;
  }
  return ProcProcessTable::longestValidUtf8Prefix(candidate);
}

}  // namespace

std::string ProcProcessTable::longestValidUtf8Prefix(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = utf8::sequenceLength(bytes, i);
    if (length == 0) break;
    i += length;
  }
  return std::string(bytes.substr(0, i));
}

std::optional<std::string> ProcProcessTable::nameOf(const std::filesystem::path& process) const {
  char buffer[64];
  const auto comm = readSmall(process / "comm", buffer);
  if (!comm || comm->empty()) return std::nullopt;  // the process ended meanwhile
  std::string_view name = *comm;
  if (!name.empty() && name.back() == '\n') name.remove_suffix(1);
  // Only a name of the kernel's full length may have been cut; the others are read once only.
  if (name.size() == kKernelNameBytes) {
    if (auto full = fullName(process, name)) return full;
  }
  return longestValidUtf8Prefix(name);
}

namespace {

bool isPid(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

std::optional<std::vector<std::string>> ProcProcessTable::runningProcesses() {
  std::error_code error;
  std::filesystem::directory_iterator entries(proc_, error);
  if (error) return std::nullopt;
  std::vector<std::string> names;
  for (const auto& entry : entries) {
    if (!isPid(entry.path().filename().string())) continue;
    if (auto name = nameOf(entry.path())) names.push_back(std::move(*name));
  }
  return names;
}

std::vector<RunningProcess> ProcProcessTable::processes() {
  std::vector<RunningProcess> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(proc_, error)) {
    const std::string pid = entry.path().filename().string();
    if (!isPid(pid) || pid.size() > 9) continue;
    auto name = nameOf(entry.path());
    if (!name) continue;
    // "Uid:\t<real>\t<effective>\t...": the real user owns the process.
    std::ifstream status(entry.path() / "status");
    std::string line;
    std::optional<unsigned> uid;
    while (std::getline(status, line)) {
      if (line.rfind("Uid:", 0) != 0) continue;
      std::istringstream fields(line.substr(4));
      unsigned value = 0;
      if (fields >> value) uid = value;
      break;
    }
    if (!uid) continue;
    found.push_back({std::stoi(pid), *uid, std::move(*name)});
  }
  return found;
}

bool ProcProcessTable::signal(int pid, int signalNumber) {
  return pid > 1 && ::kill(pid, signalNumber) == 0;
}

unsigned ProcProcessTable::currentUser() const {
  return ::getuid();
}

int ProcProcessTable::currentProcess() const {
  return ::getpid();
}

}  // namespace twig
