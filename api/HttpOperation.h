#pragma once

#include <optional>
#include <string>

#include "platform/Json.h"

namespace twig {

// What a request's callbacks can read about the exchange. For an error status the parsed body stays
// readable here (callers read "errorCode" from it).
struct HttpOperation {
  std::string method;
  std::string url;
  long statusCode = 0;  // 0 when no response arrived
  std::string contentType;
  std::string responseString;
  std::optional<Json> responseObject;  // the body parsed as JSON, when it parses
};

}  // namespace twig
