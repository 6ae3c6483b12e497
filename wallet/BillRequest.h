#pragma once

#include <functional>
#include <string>

#include "api/ApiClient.h"
#include "platform/Json.h"

namespace twig {

// An application the child sends as a bill (housework, an exchange, a special reward): POST "bills"
// with the parameters in their order and "billMd5" last.
class BillRequest {
 public:
  static constexpr const char* kPath = "bills";

  // "billMd5": the lower-case MD5 of the parameters' pretty-printed JSON text followed by a fresh
  // UUID, so that two applications never carry the same value.
  static std::string billMd5(const Json& parameters);
  // The parameters with "billMd5" added.
  static Json withBillMd5(Json parameters);
  // Sends the parameters with "billMd5" added.
  static void post(ApiClient& api, const Json& parameters, ApiClient::Success success,
                   ApiClient::Failure failure);
  // The service's "errorDescription", or `fallback` when the answer has none.
  static std::string errorDescription(const std::optional<Json>& answer, const std::string& fallback);
};

}  // namespace twig
