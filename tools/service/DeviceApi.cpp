#include "tools/service/DeviceApi.h"

#include <httplib.h>

#include "api/Digest.h"
#include "api/RequestSigner.h"
#include "api/Utils.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "tools/service/JsonReply.h"
#include "tools/service/PlaceholderIcon.h"
#include "tools/service/ServiceDatabase.h"

namespace twig::service {

namespace {

void refuse(httplib::Response& response, long long code, const std::string& description) {
  JsonReply::send(response, 202, Json{{"errorCode", code}, {"errorDescription", description}});
}

// Checks the signature; on failure answers 401 and gives false.
bool signedCorrectly(const httplib::Request& request, httplib::Response& response, Clock& clock) {
  const std::string prefix(RequestSigner::kBasePath);
  if (!request.has_header("X-TS-TIME") || !request.has_header("X-TS-HMAC")) {
    JsonReply::send(response, 401,
                    Json{{"errorCode", 401}, {"errorDescription", "missing X-TS-TIME or X-TS-HMAC"}});
    return false;
  }
  const std::string time = request.get_header_value("X-TS-TIME");
  const std::string path = request.path.substr(prefix.size());
  if (RequestSigner::signature(time, path, request.method) != request.get_header_value("X-TS-HMAC")) {
    JsonReply::send(response, 401,
                    Json{{"errorCode", 401}, {"errorDescription", "the signature does not match"}});
    return false;
  }
  const long long now = Utils::millisecondsSince1970(clock.now());
  const long long sent = static_cast<long long>(Utils::doubleValue(time));
  if (sent < now - DeviceApi::kAllowedSkewMilliseconds || sent > now + DeviceApi::kAllowedSkewMilliseconds) {
    JsonReply::send(response, 401,
                    Json{{"errorCode", 401}, {"errorDescription", "X-TS-TIME is more than 5 minutes off"}});
    return false;
  }
  return true;
}

std::optional<Json> jsonBody(const httplib::Request& request, httplib::Response& response) {
  auto body = JsonReply::objectBody(request);
  if (!body) {
    JsonReply::send(response, 400,
                    Json{{"errorCode", 400}, {"errorDescription", "the body is not a JSON object"}});
  }
  return body;
}

}  // namespace

void DeviceApi::install(httplib::Server& server, ServiceDatabase& database, Clock& clock,
                        const std::filesystem::path& filesFolder, std::size_t maxUploadBytes) {
  auto now = [&clock] { return Utils::millisecondsSince1970(clock.now()); };
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
  // Every API route checks the signature before anything else.
  auto checked = [&clock](Handler handler) {
    return [&clock, handler](const httplib::Request& request, httplib::Response& response) {
      if (signedCorrectly(request, response, clock)) handler(request, response);
    };
  };

  server.Post("/api/v2.0/config", checked([&database](const httplib::Request&, httplib::Response& response) {
                JsonReply::send(
                    response, 200,
                    Json{{"approvalStatus", Utils::integerValue(database.setting("approvalStatus", "1"))}});
              }));

  server.Post("/api/v2.0/device/enroll",
              checked([&database](const httplib::Request& request, httplib::Response& response) {
                const auto body = jsonBody(request, response);
                if (!body) return;
                const auto enrolment = database.enroll(Utils::stringValue(*body, "enrollCode"), *body);
                if (enrolment.storageFailed)
                  return JsonReply::send(
                      response, 500,
                      Json{{"errorCode", 500}, {"errorDescription", "the binding could not be stored"}});
                const auto& parent = enrolment.parent;
                if (!parent) return refuse(response, 10101, "绑定号有误");
                JsonReply::send(
                    response, 200,
                    Json{{"parentDN", parent->parentDN}, {"parentDeviceId", parent->parentDeviceId}});
              }));

  server.Put("/api/v2.0/push/messages",
             checked([&database](const httplib::Request& request, httplib::Response& response) {
               const auto body = jsonBody(request, response);
               if (!body) return;
               const std::string device = Utils::stringValue(*body, "deviceId");
               if (!database.parentOfDevice(device))
                 return JsonReply::send(response, 200,
                                        Json{{"errorCode", 30204}, {"errorDescription", "设备未绑定"}});
               if (Utils::stringValue(*body, "status") == "11")
                 database.acknowledge(device, (*body)["messageId"]);
               const auto next = database.nextPending(device);
               if (!next) {
                 response.status = 200;  // nothing left: an empty answer
                 return;
               }
               JsonReply::send(response, 200, *next);
             }));

  server.Post(R"(/api/v2.0/apps/device/([^/]+))",
              checked([&database](const httplib::Request& request, httplib::Response& response) {
                const auto body = jsonBody(request, response);
                if (!body) return;
                const std::string device = request.matches[1];
                if (!database.parentOfDevice(device)) return refuse(response, 30204, "设备未绑定");
                JsonReply::send(
                    response, 200,
                    Json{{"apps", database.registerApps(device, body->value("apps", Json::array()))},
                         {"needIconApps", Json::array()}});
              }));

  server.Get(R"(/api/v2.0/bills/device/([^/]+))",
             checked([&database, now](const httplib::Request& request, httplib::Response& response) {
               const std::string device = request.matches[1];
               const int page =
                   std::max<int>(1, static_cast<int>(Utils::doubleValue(request.get_param_value("page"))));
               const int size = std::clamp<int>(
                   static_cast<int>(Utils::doubleValue(request.get_param_value("pageSize"))), 1, 100);
               Json result = Json::object();
               result["bonuspointsStatistics"] = request.get_param_value("params") == "bonuspointsStatistics"
                                                     ? database.statistics(device, now())
                                                     : Json(nullptr);
               result["bills"] = database.bills(device, page, size);
               JsonReply::send(response, 200, result);
             }));

  server.Get(R"(/api/v2.0/bills/subjects/thisDevice/([^/]+))",
             checked([&database](const httplib::Request&, httplib::Response& response) {
               JsonReply::send(response, 200, Json{{"subjects", database.subjects()}});
             }));

  server.Get(R"(/api/v2.0/bills/bonuspoints/statistics/all/device/([^/]+))",
             checked([&database, now](const httplib::Request& request, httplib::Response& response) {
               JsonReply::send(response, 200, database.statistics(request.matches[1], now()));
             }));

  server.Get("/api/v2.0/settings/bonuspoints/consumes/rules",
             checked([&database](const httplib::Request&, httplib::Response& response) {
               JsonReply::send(response, 200,
                               Json{{"appUseIntervalMax",
                                     Utils::integerValue(database.setting("appUseIntervalMax", "10"))},
                                    {"parities", database.setting("parities", "1:3")}});
             }));

  server.Post("/api/v2.0/bills",
              checked([&database, now](const httplib::Request& request, httplib::Response& response) {
                const auto body = jsonBody(request, response);
                if (!body) return;
                const std::string device = Utils::stringValue(*body, "childDeviceId");
                if (!database.parentOfDevice(device)) return refuse(response, 30204, "设备未绑定");
                if (auto refusal = database.addBill(device, *body, now()))
                  return refuse(response, 20001, *refusal);
                JsonReply::send(response, 200, Json::object());
              }));

  server.Post(
      "/api/v2.0/file/pictures",
      checked([filesFolder, maxUploadBytes](const httplib::Request& request, httplib::Response& response) {
        if (!request.has_file("file")) {
          return JsonReply::send(response, 400,
                                 Json{{"errorCode", 400}, {"errorDescription", "no file part"}});
        }
        const auto file = request.get_file_value("file");
        // Pictures are served back as JPEG to the parent's device: nothing else is kept.
        if (file.content.compare(0, 3, "\xFF\xD8\xFF") != 0) {
          return JsonReply::send(response, 415,
                                 Json{{"errorCode", 415}, {"errorDescription", "图片不是JPEG格式"}});
        }
        if (file.content.size() > maxUploadBytes) {
          return JsonReply::send(response, 413, Json{{"errorCode", 413}, {"errorDescription", "图片太大"}});
        }
        const std::string md5 = Digest::MD5(file.content);
        std::filesystem::create_directories(filesFolder);
        if (!AtomicFile::write(filesFolder / (md5 + ".jpg"), file.content)) {
          return JsonReply::send(
              response, 500,
              Json{{"errorCode", 500}, {"errorDescription", "the picture could not be stored"}});
        }
        const std::string origin =
            std::string(request.ssl != nullptr ? "https://" : "http://") + request.get_header_value("Host");
        JsonReply::send(response, 200,
                        Json{{"fileUrl", origin + "/files/" + md5 + ".jpg"}, {"fileMd5", md5}});
      }));

  server.Get(R"(/files/([0-9a-f]{32})\.jpg)",
             [filesFolder](const httplib::Request& request, httplib::Response& response) {
               const auto bytes = AtomicFile::read(filesFolder / (std::string(request.matches[1]) + ".jpg"));
               if (!bytes) {
                 response.status = 404;
                 return;
               }
               response.set_content(*bytes, "image/jpeg");
             });

  server.Get(R"(/images/apps/([^/]+)/([^/]+)/icon\.png)",
             [](const httplib::Request& request, httplib::Response& response) {
               response.set_content(PlaceholderIcon::png(std::string(request.matches[2])), "image/png");
             });
}

}  // namespace twig::service
