#pragma once

#include <filesystem>
#include <string>

namespace httplib {
class Server;
}

namespace twig {
class Clock;
}

namespace twig::service {

class ServiceDatabase;

// The service's HTTP API as the device uses it, under "/api/v2.0/": every request must carry a
// valid "X-TS-TIME"/"X-TS-HMAC" signature made within five minutes, or it is answered 401 and
// changes nothing. Refusals are 202 with "errorCode" and "errorDescription". Also serves the
// uploaded pictures (/files/...) and placeholder application icons (/images/apps/...). An upload
// must be a JPEG of at most `maxUploadBytes`.
class DeviceApi {
 public:
  static constexpr long long kAllowedSkewMilliseconds = 5 * 60 * 1000;
  static constexpr std::size_t kDefaultMaxUploadBytes = 5u * 1024u * 1024u;
  static void install(httplib::Server& server, ServiceDatabase& database, Clock& clock,
                      const std::filesystem::path& filesFolder,
                      std::size_t maxUploadBytes = kDefaultMaxUploadBytes);
};

}  // namespace twig::service
