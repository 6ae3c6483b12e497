#include "platform/linux/LinuxDeviceFacts.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <system_error>

#include "BuildConfig.h"
#include "platform/AtomicFile.h"
#include "platform/Uuid.h"

namespace twig {

namespace {

bool looksLikeUuid(const std::string& text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

}  // namespace

LinuxDeviceFacts::LinuxDeviceFacts(Options options) : options_(std::move(options)) {
  if (options_.shortVersion.empty()) options_.shortVersion = build::kVersion;
}

std::string LinuxDeviceFacts::storedIdentifier(const std::filesystem::path& file,
                                               std::optional<std::string>& cached) {
  std::lock_guard lock(mutex_);
  if (cached) return *cached;
  if (auto text = AtomicFile::read(file)) {
    while (!text->empty() && std::isspace(static_cast<unsigned char>(text->back()))) text->pop_back();
    if (looksLikeUuid(*text)) {
      cached = *text;
      return *cached;
    }
  }
  cached = Uuid::randomString();
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  // If this fails the identifier still holds for this process; the next start makes a new one.
  AtomicFile::write(file, *cached + "\n");
  return *cached;
}

std::string LinuxDeviceFacts::vendorIdentifier() {
  return storedIdentifier(options_.applicationFolder / "vendor-identifier", vendor_);
}

std::string LinuxDeviceFacts::advertisingIdentifier() {
  return storedIdentifier(options_.deviceFolder / "advertising-identifier", advertising_);
}

std::string LinuxDeviceFacts::deviceName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "linux";
  return name;
}

std::string LinuxDeviceFacts::processName() {
  return program_invocation_short_name;
}

}  // namespace twig
