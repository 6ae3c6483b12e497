#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace twig::test {

// What the test server saw of one request.
struct RecordedPart {
  std::string name;
  std::string fileName;
  std::string contentType;
  std::string content;
};

struct RecordedRequest {
  std::string method;
  std::string path;    // without the query
  std::string target;  // as sent, query included
  std::multimap<std::string, std::string> params;
  std::map<std::string, std::string> headers;  // last value of each, names as sent
  std::string body;
  std::vector<RecordedPart> parts;
  // The signature recomputed from X-TS-TIME, the path and the method matched X-TS-HMAC.
  bool signatureValid = false;
  std::string header(const std::string& name) const;
};

struct CannedResponse {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  int delayMilliseconds = 0;
};

// An HTTP server on a free loopback port, in a thread of its own, that records every request and
// checks its signature. Handlers choose the answer per request; the default answers 200 "{}".
class TestHttpServer {
 public:
  using Handler = std::function<CannedResponse(const RecordedRequest&)>;

  // Certificate and key (PEM) of an https server.
  struct Tls {
    std::string certificateFile;
    std::string keyFile;
  };

  TestHttpServer();
  // https with this certificate.
  explicit TestHttpServer(const Tls& tls);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  void setHandler(Handler handler);
  int port() const { return port_; }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string origin() const { return (tls_ ? "https://" : "http://") + hostAndPort(); }
  std::string baseAddress() const { return origin() + "/api/v2.0"; }
  std::vector<RecordedRequest> requests() const;
  std::size_t requestCount() const;

 private:
  void serve(const httplib::Request& request, httplib::Response& response);

  void start();

  bool tls_ = false;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  Handler handler_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace twig::test
