#pragma once

#include <optional>

#include "platform/Json.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace twig::service {

// The JSON side of the service's HTTP handlers, shared by the device API and the admin interface.
class JsonReply {
 public:
  static void send(httplib::Response& response, int status, const Json& body);
  // The request's body as a JSON object (an empty body is an empty object); nothing otherwise.
  static std::optional<Json> objectBody(const httplib::Request& request);
};

}  // namespace twig::service
