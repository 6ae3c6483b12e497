#pragma once

#include <optional>
#include <string_view>

#include "api/Error.h"
#include "api/HttpTransport.h"
#include "platform/Json.h"

namespace twig {

struct InterpretedResponse {
  bool success = false;
  std::optional<Json> object;  // the parsed body; nothing for an empty or null body
  std::optional<Error> error;  // set when !success
};

// The service's answer rules: success is a 2xx status with a JSON content type and a body that
// parses (an empty body is no answer). For failures the body is still parsed when it can be.
class HttpResponseInterpreter {
 public:
  static InterpretedResponse interpret(const HttpResponse& response);
  // application/json, text/json or text/javascript, parameters and case ignored.
  static bool isAcceptableContentType(std::string_view contentType);
};

}  // namespace twig
