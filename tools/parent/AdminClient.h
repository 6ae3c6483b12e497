#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Json.h"

namespace httplib {
class Client;
}

namespace twig::parent {

// The console's line to the local service's admin interface.
class AdminClient {
 public:
  // `service` is HOST:PORT (http) or a URL with http:// or https://; https peers are checked against
  // `caFile` (PEM) when it is not empty, else against the system's authorities.
  explicit AdminClient(const std::string& service, const std::string& caFile = "");
  ~AdminClient();

  struct Reply {
    int status = 0;  // 0 when the service could not be reached
    Json body;
    std::string failure;  // why, when it could not be reached (the HTTP library's word)
    bool ok() const { return status == 200; }
  };
  Reply get(const std::string& path);
  Reply post(const std::string& path, const Json& body = Json::object());
  // The device's messages after `after`, waiting up to `waitMilliseconds` for one.
  // The reply's body holds "messages" when it is ok(); a failed reply says why the service did not answer.
  Reply messages(const std::string& device, std::int64_t after, int waitMilliseconds);

 private:
  std::unique_ptr<httplib::Client> client_;
};

}  // namespace twig::parent
