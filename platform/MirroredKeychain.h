#pragma once

#include "platform/Keychain.h"

namespace twig {

// A keychain kept in two places: the primary is read first and wins; the mirror answers when the
// primary cannot (absent, locked or gone), and each copies to the other what it lacks.
//
// Used with the desktop keyring as the primary and the private file keychain as the mirror: the
// device's identifier must not change because one session starts without its keyring unlocked
// (automatic logins leave it locked), nor because the data folder was deleted while the keyring
// kept it.
class MirroredKeychain final : public Keychain {
 public:
  MirroredKeychain(Keychain& primary, Keychain& mirror);
  std::optional<std::string> read(std::string_view service, std::string_view account) override;
  // True when at least one of the two holds the value afterwards.
  bool write(std::string_view service, std::string_view account, std::string_view value) override;
  // True when either held the entry.
  bool remove(std::string_view service, std::string_view account) override;

 private:
  Keychain& primary_;
  Keychain& mirror_;
};

}  // namespace twig
