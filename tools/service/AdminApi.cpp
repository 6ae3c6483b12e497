#include "tools/service/AdminApi.h"

#include <httplib.h>

#include "api/Utils.h"
#include "messaging/Protocol.h"
#include "platform/Clock.h"
#include "tools/service/JsonReply.h"
#include "tools/service/ParentLink.h"
#include "tools/service/ServiceDatabase.h"

namespace twig::service {

namespace {

bool fromThisMachine(const httplib::Request& request) {
  return request.remote_addr == "127.0.0.1" || request.remote_addr == "::1" ||
         request.remote_addr == "::ffff:127.0.0.1";
}

// The console's requests are lenient: a body that is not an object counts as empty.
Json bodyOf(const httplib::Request& request) {
  return JsonReply::objectBody(request).value_or(Json::object());
}

}  // namespace

void AdminApi::install(httplib::Server& server, ServiceDatabase& database, ParentLink& parents,
                       Clock& clock) {
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
  auto local = [](Handler handler) {
    return [handler](const httplib::Request& request, httplib::Response& response) {
      if (!fromThisMachine(request))
        return JsonReply::send(response, 403, Json{{"error", "the admin interface is local only"}});
      handler(request, response);
    };
  };
  auto now = [&clock] { return Utils::millisecondsSince1970(clock.now()); };
  auto notifyBills = [&parents](const std::string& device) {
    parents.publishCommand(device,
                           Json{{protocol::kEventNotification, {{"type", protocol::kNotificationBills}}}});
  };

  server.Get("/admin/health", local([&parents](const httplib::Request&, httplib::Response& response) {
               JsonReply::send(response, 200, Json{{"broker", parents.connected()}});
             }));

  server.Post(
      "/admin/bind-codes", local([&database](const httplib::Request& request, httplib::Response& response) {
        const Json body = bodyOf(request);
        std::optional<std::string> parentDN;
        if (body.contains("parentDN") && body["parentDN"].is_string())
          parentDN = body["parentDN"].get<std::string>();
        const auto parent = database.parent(parentDN);
        const auto code = database.createBindCode(parent);
        if (!code) return JsonReply::send(response, 500, Json{{"error", "no binding code could be stored"}});
        JsonReply::send(
            response, 200,
            Json{{"code", *code}, {"parentDN", parent.parentDN}, {"parentDeviceId", parent.parentDeviceId}});
      }));

  server.Get("/admin/devices", local([&database](const httplib::Request&, httplib::Response& response) {
               JsonReply::send(response, 200, Json{{"devices", database.devices()}});
             }));

  server.Post(R"(/admin/devices/([^/]+)/commands)",
              local([&database, &parents, now](const httplib::Request& request, httplib::Response& response) {
                const std::string device = request.matches[1];
                const Json body = bodyOf(request);
                const std::string command = Utils::stringValue(body, "command");
                if (command.empty())
                  return JsonReply::send(response, 400, Json{{"error", "no command named"}});
                Json fields =
                    body.contains("body") && body["body"].is_object() ? body["body"] : Json::object();
                if (!fields.contains(protocol::kKeyCommandUuid)) {
                  Json numbered = Json{{protocol::kKeyCommandUuid, Utils::getUUIDString()}};
                  for (auto it = fields.begin(); it != fields.end(); ++it) numbered[it.key()] = it.value();
                  fields = std::move(numbered);
                }
                const Json payload = Json{{command, fields}};
                // Answers come after this sequence number.
                const std::int64_t seq = database.lastSequence();
                database.queueCommand(device, payload, now());
                parents.publishCommand(device, payload);
                JsonReply::send(response, 200,
                                Json{{protocol::kKeyCommandUuid, fields[protocol::kKeyCommandUuid]},
                                     {"payload", payload},
                                     {"seq", seq}});
              }));

  server.Get(
      "/admin/messages", local([&parents](const httplib::Request& request, httplib::Response& response) {
        const std::string device = request.get_param_value("device");
        const auto after = static_cast<std::int64_t>(Utils::doubleValue(request.get_param_value("after")));
        const auto wait = std::clamp<long long>(
            static_cast<long long>(Utils::doubleValue(request.get_param_value("wait"))), 0, 60000);
        JsonReply::send(
            response, 200,
            Json{{"messages", parents.waitForMessages(device, after, std::chrono::milliseconds(wait))}});
      }));

  server.Get(R"(/admin/devices/([^/]+)/bills)",
             local([&database](const httplib::Request& request, httplib::Response& response) {
               JsonReply::send(response, 200, Json{{"bills", database.bills(request.matches[1], 1, 100)}});
             }));

  auto setStatus = [&database, now, notifyBills](int status) {
    return
        [&database, now, notifyBills, status](const httplib::Request& request, httplib::Response& response) {
          const std::string billId = request.matches[1];
          // An approval may give the points too: a special reward is worth what the parent says.
          const Json body = bodyOf(request);
          std::optional<std::int64_t> points;
          if (status == 1 && body.contains("bonuspoint")) {
            if (!body["bonuspoint"].is_number_integer() || body["bonuspoint"].get<std::int64_t>() < 0)
              return JsonReply::send(response, 400,
                                     Json{{"error", "bonuspoint must be a whole number, 0 or more"}});
            const auto type = database.billType(billId);
            if (!type) return JsonReply::send(response, 404, Json{{"error", "no such bill"}});
            // An exchange costs what the child chose; its points are not the parent's to change.
            if (*type == 2)
              return JsonReply::send(response, 400, Json{{"error", "an exchange keeps its points"}});
            points = body["bonuspoint"].get<std::int64_t>();
          }
          std::string refusal;
          const auto device = database.setBillStatus(billId, status, now(), points, &refusal);
          if (!device) return JsonReply::send(response, 404, Json{{"error", "no such bill"}});
          if (!refusal.empty()) return JsonReply::send(response, 409, Json{{"error", refusal}});
          notifyBills(*device);
          Json answer{{"billId", billId}, {"status", status}};
          if (points) answer["bonuspoint"] = *points;
          JsonReply::send(response, 200, answer);
        };
  };
  server.Post(R"(/admin/bills/([^/]+)/approve)", local(setStatus(1)));
  server.Post(R"(/admin/bills/([^/]+)/refuse)", local(setStatus(2)));

  server.Post(
      R"(/admin/bills/([^/]+)/comments)",
      local([&database, now, notifyBills](const httplib::Request& request, httplib::Response& response) {
        const Json body = bodyOf(request);
        const std::string comment = Utils::stringValue(body, "comment");
        if (comment.empty()) return JsonReply::send(response, 400, Json{{"error", "no comment text"}});
        const auto parent = database.parent(std::nullopt);
        const auto device = database.addComment(request.matches[1], parent.parentDN, comment, now());
        if (!device) return JsonReply::send(response, 404, Json{{"error", "no such bill"}});
        notifyBills(*device);
        JsonReply::send(response, 200,
                        Json{{"billId", std::string(request.matches[1])}, {"comment", comment}});
      }));

  server.Post(
      R"(/admin/devices/([^/]+)/notify)",
      local([&parents](const httplib::Request& request, httplib::Response& response) {
        const Json body = bodyOf(request);
        const std::string type = Utils::stringValue(body, "type");
        if (type.empty()) return JsonReply::send(response, 400, Json{{"error", "no notice type"}});
        parents.publishCommand(request.matches[1], Json{{protocol::kEventNotification, {{"type", type}}}});
        JsonReply::send(response, 200, Json{{"type", type}});
      }));

  server.Post(R"(/admin/devices/([^/]+)/unbind)",
              local([&database, &parents](const httplib::Request& request, httplib::Response& response) {
                const std::string device = request.matches[1];
                if (!database.unbind(device))
                  return JsonReply::send(response, 404, Json{{"error", "no such bound device"}});
                parents.publishCommand(device, Json{{protocol::kReset, Json::object()}});
                JsonReply::send(response, 200, Json{{"deviceId", device}, {"bound", false}});
              }));

  server.Post("/admin/subjects",
              local([&database](const httplib::Request& request, httplib::Response& response) {
                const Json body = bodyOf(request);
                const std::string name = Utils::stringValue(body, "name");
                if (name.empty()) return JsonReply::send(response, 400, Json{{"error", "no subject name"}});
                if (!body.contains("bonuspoint") || !body["bonuspoint"].is_number_integer() ||
                    body["bonuspoint"].get<std::int64_t>() < 0)
                  return JsonReply::send(response, 400,
                                         Json{{"error", "bonuspoint must be a whole number, 0 or more"}});
                const auto id = database.addSubject(name, body["bonuspoint"].get<std::int64_t>(),
                                                    Utils::stringValue(body, "description"));
                if (!id)
                  return JsonReply::send(response, 500, Json{{"error", "the subject could not be stored"}});
                JsonReply::send(response, 200, Json{{"subjectId", *id}, {"name", name}});
              }));

  server.Post("/admin/settings",
              local([&database](const httplib::Request& request, httplib::Response& response) {
                const Json body = bodyOf(request);
                for (const char* key : {"approvalStatus", "parities", "appUseIntervalMax"}) {
                  if (body.contains(key)) database.setSetting(key, Utils::stringValue(body, key));
                }
                JsonReply::send(response, 200,
                                Json{{"approvalStatus", database.setting("approvalStatus", "1")},
                                     {"parities", database.setting("parities", "1:3")},
                                     {"appUseIntervalMax", database.setting("appUseIntervalMax", "10")}});
              }));
}

}  // namespace twig::service
