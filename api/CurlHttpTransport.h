#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "api/HttpTransport.h"

namespace twig {

// HTTP over libcurl's multi interface on one thread of its own. Requests may be sent from any
// thread; completions run on the HTTP thread. Destruction abandons transfers still running (their
// completions are not called) and joins the thread.
class CurlHttpTransport final : public HttpTransport {
 public:
  struct Options {
    // A transfer that makes no progress for this long fails, like the platform's 60-second timeout.
    std::chrono::milliseconds inactivityTimeout = std::chrono::seconds(60);
    std::chrono::milliseconds connectTimeout = std::chrono::seconds(60);
    // Answers larger than this fail instead of filling the memory.
    std::size_t maxResponseBytes = 64u * 1024u * 1024u;
    // https peers are checked against this PEM file of authorities instead of the system's store,
    // when it is not empty.
    std::string caFile;
  };

  CurlHttpTransport();
  explicit CurlHttpTransport(Options options);
  ~CurlHttpTransport() override;
  CurlHttpTransport(const CurlHttpTransport&) = delete;
  CurlHttpTransport& operator=(const CurlHttpTransport&) = delete;

  void send(HttpRequest request, Completion completion) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace twig
