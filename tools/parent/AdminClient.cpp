#include "tools/parent/AdminClient.h"

#include <httplib.h>

#include "platform/BoundedJson.h"

namespace twig::parent {

namespace {

AdminClient::Reply replyOf(const httplib::Result& result) {
  AdminClient::Reply reply;
  if (!result) {
    reply.failure = httplib::to_string(result.error());
    return reply;
  }
  reply.status = result->status;
  reply.body = BoundedJson::parseOrDiscard(result->body);
  if (reply.body.is_discarded()) reply.body = Json(result->body);
  return reply;
}

}  // namespace

AdminClient::AdminClient(const std::string& service, const std::string& caFile)
    : client_(std::make_unique<httplib::Client>(service.find("://") == std::string::npos ? "http://" + service
                                                                                         : service)) {
  if (!caFile.empty()) client_->set_ca_cert_path(caFile.c_str());
  client_->set_read_timeout(90, 0);
  client_->set_connection_timeout(5, 0);
}

AdminClient::~AdminClient() = default;

AdminClient::Reply AdminClient::get(const std::string& path) {
  return replyOf(client_->Get(path.c_str()));
}

AdminClient::Reply AdminClient::post(const std::string& path, const Json& body) {
  return replyOf(client_->Post(path.c_str(), body.dump(), "application/json"));
}

AdminClient::Reply AdminClient::messages(const std::string& device, std::int64_t after,
                                         int waitMilliseconds) {
  auto reply = get("/admin/messages?device=" + device + "&after=" + std::to_string(after) +
                   "&wait=" + std::to_string(waitMilliseconds));
  if (reply.ok() && !(reply.body.is_object() && reply.body["messages"].is_array())) reply.status = 500;
  return reply;
}

}  // namespace twig::parent
