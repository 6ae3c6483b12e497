#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace twig {

struct HttpFormPart {
  std::string name;
  std::string data;
  std::optional<std::string> fileName;
  std::optional<std::string> mimeType;
};

struct HttpRequest {
  std::string method;  // GET, POST, PUT or PATCH
  std::string url;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;                                    // sent when not empty (and no multipart)
  std::optional<std::vector<HttpFormPart>> multipart;  // a multipart/form-data body
};

struct HttpResponse {
  long status = 0;          // 0 when no response arrived
  std::string contentType;  // the Content-Type header as sent, empty when absent
  std::string body;
  int transportError = 0;  // 0 when a response arrived; else the transport's own code
  std::string transportErrorText;
};

// Moves requests over the wire. Completions run on the transport's own thread.
class HttpTransport {
 public:
  using Completion = std::function<void(HttpResponse)>;
  virtual ~HttpTransport() = default;
  virtual void send(HttpRequest request, Completion completion) = 0;
};

}  // namespace twig
