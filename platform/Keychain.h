#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace twig {

// Secret storage with one generic-password entry per service and account. It lives outside the
// application's own data, so it outlives a reinstall.
class Keychain {
 public:
  virtual ~Keychain() = default;
  // Nothing when the entry is absent or cannot be read.
  virtual std::optional<std::string> read(std::string_view service, std::string_view account) = 0;
  virtual bool write(std::string_view service, std::string_view account, std::string_view value) = 0;
  virtual bool remove(std::string_view service, std::string_view account) = 0;
};

}  // namespace twig
