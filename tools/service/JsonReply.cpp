#include "tools/service/JsonReply.h"

#include <httplib.h>

#include "platform/BoundedJson.h"

namespace twig::service {

void JsonReply::send(httplib::Response& response, int status, const Json& body) {
  response.status = status;
  response.set_content(body.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json");
}

std::optional<Json> JsonReply::objectBody(const httplib::Request& request) {
  Json body = BoundedJson::parseOrDiscard(request.body.empty() ? std::string_view("{}")
                                                               : std::string_view(request.body));
  if (!body.is_object()) return std::nullopt;
  return body;
}

}  // namespace twig::service
