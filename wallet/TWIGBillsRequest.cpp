#include "wallet/TWIGBillsRequest.h"

#include "api/TWIGDigest.h"
#include "api/TWIGUtils.h"

namespace twig {

std::string TWIGBillsRequest::billMd5(const Json& parameters) {
  const std::string text = parameters.dump(2, ' ', false, Json::error_handler_t::replace);
  return TWIGDigest::MD5(text + TWIGUtils::getUUIDString());
}

Json TWIGBillsRequest::withBillMd5(Json parameters) {
  const std::string md5 = billMd5(parameters);
  parameters["billMd5"] = md5;
  return parameters;
}

void TWIGBillsRequest::post(const Json& parameters, TWIGRequest::Success success,
                            TWIGRequest::Failure failure) {
  TWIGRequest::sharedRequest().requestWithPath(kPath, withBillMd5(parameters), HttpMethod::Post,
                                               std::move(success), std::move(failure));
}

std::string TWIGBillsRequest::errorDescription(const std::optional<Json>& answer,
                                               const std::string& fallback) {
  const std::string text = answer ? TWIGUtils::stringValue(*answer, "errorDescription") : std::string();
  return text.empty() ? fallback : text;
}

}  // namespace twig
