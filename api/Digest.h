#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace twig {

// The string digests: MD5 for identifiers, HMAC-SHA1 for request signatures.
class Digest {
 public:
  // MD5 of the bytes as 32 lower-case hexadecimal digits.
  static std::string MD5(std::string_view text);
  // The request signature: HMAC-SHA1 with the service's key, as standard Base64 (28 characters).
  static std::string hmac(std::string_view text);
  static std::string hmacSha1Base64(std::string_view key, std::string_view text);
  // Standard Base64 with padding and no line breaks.
  static std::string base64(std::string_view bytes);
  // Nothing when `text` is not standard padded Base64.
  static std::optional<std::string> base64Decode(std::string_view text);

  static constexpr std::string_view kSignatureKey = "wbxprkedu7m";
};

}  // namespace twig
