#include "platform/MirroredKeychain.h"

namespace twig {

MirroredKeychain::MirroredKeychain(Keychain& primary, Keychain& mirror)
    : primary_(primary), mirror_(mirror) {}

std::optional<std::string> MirroredKeychain::read(std::string_view service, std::string_view account) {
  auto kept = mirror_.read(service, account);
  if (auto value = primary_.read(service, account)) {
    if (kept != value) mirror_.write(service, account, *value);
    return value;
  }
  // The primary lacks it or cannot answer now; when it can take it, it gets the mirror's copy.
  if (kept) primary_.write(service, account, *kept);
  return kept;
}

bool MirroredKeychain::write(std::string_view service, std::string_view account, std::string_view value) {
  const bool inPrimary = primary_.write(service, account, value);
  const bool inMirror = mirror_.write(service, account, value);
  return inPrimary || inMirror;
}

bool MirroredKeychain::remove(std::string_view service, std::string_view account) {
  const bool fromPrimary = primary_.remove(service, account);
  const bool fromMirror = mirror_.remove(service, account);
  return fromPrimary || fromMirror;
}

}  // namespace twig
