#pragma once

namespace httplib {
class Server;
}

namespace twig {
class Clock;
}

namespace twig::service {

class ParentLink;
class ServiceDatabase;

// What the parent's console asks of the service, under "/admin/", answered only to this machine:
// binding codes, devices, commands and the messages that answer them, bills, notices, unbinding,
// settings.
class AdminApi {
 public:
  static void install(httplib::Server& server, ServiceDatabase& database, ParentLink& parents, Clock& clock);
};

}  // namespace twig::service
