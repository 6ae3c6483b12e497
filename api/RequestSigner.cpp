#include "api/RequestSigner.h"

#include "api/HttpMethod.h"

#include <algorithm>

#include "api/Digest.h"

namespace twig {

std::optional<std::string_view> RequestSigner::methodName(int methodType) {
  switch (methodType) {
    case static_cast<int>(HttpMethod::Get):
      return "GET";
    case static_cast<int>(HttpMethod::Post):
      return "POST";
    case static_cast<int>(HttpMethod::Put):
      return "PUT";
    case static_cast<int>(HttpMethod::Patch):
      return "PATCH";
    default:
      return std::nullopt;
  }
}

std::string RequestSigner::signedText(std::string_view timestamp, std::string_view path,
                                      std::string_view method) {
  std::string text;
  text.reserve(timestamp.size() + kBasePath.size() + path.size() + method.size() + 2);
  text.append(timestamp).append("\n").append(kBasePath).append(path).append("\n").append(method);
  return text;
}

std::string RequestSigner::signature(std::string_view timestamp, std::string_view path,
                                     std::string_view method) {
  return Digest::hmac(signedText(timestamp, path, method));
}

bool RequestSigner::isSignablePath(std::string_view path) {
  if (!path.empty() && path.front() == '/') return false;
  for (char c : path) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                         c == '/' || c == '-' || c == '_' || c == '.';
    if (!allowed) return false;
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    const auto end = std::min(path.find('/', start), path.size());
    const auto segment = path.substr(start, end - start);
    if (segment == "." || segment == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace twig
