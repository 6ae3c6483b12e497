#include "platform/linux/ProcProcessTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace twig {

namespace {

// Length of the valid UTF-8 sequence starting at `i`, or 0.
std::size_t sequenceLength(std::string_view bytes, std::size_t i) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  std::size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return 0;
  }
  const auto second = static_cast<unsigned char>(bytes[i + 1]);
  if (lead == 0xE0 && second < 0xA0) return 0;  // overlong
  if (lead == 0xED && second > 0x9F) return 0;  // surrogate
  if (lead == 0xF0 && second < 0x90) return 0;  // overlong
  if (lead == 0xF4 && second > 0x8F) return 0;  // beyond U+10FFFF
  return length;
}

}  // namespace

std::string ProcProcessTable::longestValidUtf8Prefix(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = sequenceLength(bytes, i);
    if (length == 0) break;
    i += length;
  }
  return std::string(bytes.substr(0, i));
}

std::optional<std::vector<std::string>> ProcProcessTable::runningProcesses() {
  std::error_code error;
  std::filesystem::directory_iterator entries(proc_, error);
  if (error) return std::nullopt;
  std::vector<std::string> names;
  for (const auto& entry : entries) {
    const std::string pid = entry.path().filename().string();
    if (pid.empty() ||
        !std::all_of(pid.begin(), pid.end(), [](unsigned char c) { return std::isdigit(c); })) {
      continue;
    }
    const int fd = ::open((entry.path() / "comm").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;  // the process ended meanwhile
    char buffer[64];
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (length <= 0) continue;
    std::string_view name(buffer, static_cast<std::size_t>(length));
    if (!name.empty() && name.back() == '\n') name.remove_suffix(1);
    names.push_back(longestValidUtf8Prefix(name));
  }
  return names;
}

}  // namespace twig
