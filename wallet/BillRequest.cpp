#include "wallet/BillRequest.h"

#include "api/ApiClient.h"
#include "api/Digest.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "platform/Ports.h"

namespace twig {

std::string BillRequest::billMd5(const Json& parameters) {
  const std::string text = parameters.dump(2, ' ', false, Json::error_handler_t::replace);
  return Digest::MD5(text + Utils::getUUIDString());
}

Json BillRequest::withBillMd5(Json parameters) {
  const std::string md5 = billMd5(parameters);
  parameters["billMd5"] = md5;
  return parameters;
}

void BillRequest::post(ApiClient& api, const Json& parameters, ApiClient::Success success,
                       ApiClient::Failure failure) {
  api.requestWithPath(kPath, withBillMd5(parameters), HttpMethod::Post, std::move(success),
                      std::move(failure));
}

std::string BillRequest::errorDescription(const std::optional<Json>& answer, const std::string& fallback) {
  const std::string text = answer ? Utils::stringValue(*answer, "errorDescription") : std::string();
  return text.empty() ? fallback : text;
}

}  // namespace twig
