#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace twig {

// The service's request signature: HMAC-SHA1 over "timestamp\n/api/v2.0/path\nMETHOD", carried in
// "X-TS-TIME" and "X-TS-HMAC". Query parameters and bodies are not signed.
class RequestSigner {
 public:
  static constexpr std::string_view kBasePath = "/api/v2.0/";
  static constexpr std::string_view kTimeHeader = "X-TS-TIME";
  static constexpr std::string_view kSignatureHeader = "X-TS-HMAC";

  // 0 GET, 1 POST, 2 PUT, 4 PATCH; nothing for every other number.
  static std::optional<std::string_view> methodName(int methodType);
  static std::string signedText(std::string_view timestamp, std::string_view path, std::string_view method);
  static std::string signature(std::string_view timestamp, std::string_view path, std::string_view method);
  // Plain ASCII letters, digits, "/", "-", "_" and "." only, with no "." or ".." segment and no
  // leading "/": anything else could not be verified by the service as it was signed.
  static bool isSignablePath(std::string_view path);
};

}  // namespace twig
