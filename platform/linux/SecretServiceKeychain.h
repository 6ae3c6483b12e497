#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Keychain.h"

namespace twig {

// The keychain of the user's desktop session: the freedesktop Secret Service (GNOME Keyring,
// KWallet...), spoken over sd-bus on a bus of our choosing. Entries go into the session's default collection,
// which the session usually unlocks at login; it lives in the user's keyring, outside the application's data,
// so it outlives a reinstall or a deleted data folder.
//
// It never asks the user for a password: a locked collection reads as empty and refuses writes, so
// that a caller can fall back on its own storage instead of showing a prompt to a child.
class SecretServiceKeychain final : public Keychain {
 public:
  // The Secret Service of the session bus (or the bus at `busAddress`), or null when no bus can be
  // reached or no keyring is running on it. A keyring that could only be started on demand does not
  // count: starting one outside the login would make a new, locked keyring.
  static std::unique_ptr<SecretServiceKeychain> connect(const std::string& busAddress = {});

  ~SecretServiceKeychain() override;
  std::optional<std::string> read(std::string_view service, std::string_view account) override;
  bool write(std::string_view service, std::string_view account, std::string_view value) override;
  bool remove(std::string_view service, std::string_view account) override;

 private:
  struct Connection;
  explicit SecretServiceKeychain(std::unique_ptr<Connection> connection);
  // The unlocked items of one entry; nothing when the keyring cannot be asked.
  std::optional<std::vector<std::string>> unlockedItems(std::string_view service, std::string_view account);
  // The default collection's path when it exists and is unlocked.
  std::optional<std::string> unlockedDefaultCollection();

  std::unique_ptr<Connection> connection_;
  std::mutex mutex_;  // one call on the connection at a time
};

}  // namespace twig
