#include "tests/fakes/TestHttpServer.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>

#include "api/RequestSigner.h"

namespace twig::test {

std::string RecordedRequest::header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return {};
}

TestHttpServer::TestHttpServer() : server_(std::make_unique<httplib::Server>()) {
  start();
}

TestHttpServer::TestHttpServer(const Tls& tls)
    : tls_(true),
      server_(std::make_unique<httplib::SSLServer>(tls.certificateFile.c_str(), tls.keyFile.c_str())) {
  if (!server_->is_valid())
    throw std::runtime_error("the test https server cannot read " + tls.certificateFile);
  start();
}

void TestHttpServer::start() {
  auto handler = [this](const httplib::Request& request, httplib::Response& response) {
    serve(request, response);
  };
  server_->Get(".*", handler);
  server_->Post(".*", handler);
  server_->Put(".*", handler);
  server_->Patch(".*", handler);
  server_->Delete(".*", handler);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("the test HTTP server cannot bind a port");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestHttpServer::~TestHttpServer() {
  server_->stop();
  thread_.join();
}

void TestHttpServer::setHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<RecordedRequest> TestHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t TestHttpServer::requestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

void TestHttpServer::serve(const httplib::Request& request, httplib::Response& response) {
  RecordedRequest recorded;
  recorded.method = request.method;
  recorded.path = request.path;
  recorded.target = request.target;
  for (const auto& [key, value] : request.params) recorded.params.emplace(key, value);
  for (const auto& [key, value] : request.headers) recorded.headers[key] = value;
  recorded.body = request.body;
  for (const auto& [name, file] : request.files) {
    recorded.parts.push_back({file.name, file.filename, file.content_type, file.content});
  }

  const std::string prefix(RequestSigner::kBasePath);
  if (request.path.rfind(prefix, 0) == 0 && request.has_header("X-TS-TIME") &&
      request.has_header("X-TS-HMAC")) {
    const std::string expected = RequestSigner::signature(request.get_header_value("X-TS-TIME"),
                                                          request.path.substr(prefix.size()), request.method);
    recorded.signatureValid = expected == request.get_header_value("X-TS-HMAC");
  }

  Handler handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(recorded);
    handler = handler_;
  }
  CannedResponse canned{200, "application/json", "{}", 0};
  if (handler) canned = handler(recorded);
  if (canned.delayMilliseconds > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(canned.delayMilliseconds));
  response.status = canned.status;
  if (canned.contentType.empty()) {
    response.body = canned.body;
  } else {
    response.set_content(canned.body, canned.contentType.c_str());
  }
}

}  // namespace twig::test
