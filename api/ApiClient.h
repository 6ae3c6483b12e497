#pragma once

#include "platform/Signal.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "api/Error.h"
#include "api/HttpMethod.h"
#include "api/HttpOperation.h"
#include "api/HttpTransport.h"
#include "api/MultipartFormData.h"
#include "platform/Json.h"

namespace twig {

class Clock;
class MainLoop;
struct DeploymentSettings;
struct Ports;
class Reachability;

// The one client of the service's REST API. Every request is signed with its own time stamp; both
// callbacks run on the main loop whichever thread started the request, except the immediate
// failure when the network is reported down, which runs before the call returns.
class ApiClient {
 public:
  using Operation = std::shared_ptr<const HttpOperation>;
  // The answer is the parsed JSON body; nothing for an empty or null body.
  using Success = std::function<void(const Operation& operation, const std::optional<Json>& answer)>;
  // The operation is absent when nothing was sent.
  using Failure = std::function<void(const Operation& operation, const Error& error)>;
  using BodyBuilder = std::function<void(MultipartFormData& formData)>;
  using ReachabilityCallback = std::function<void(bool reachable)>;

  static constexpr const char* kReachabilityNotification = "NetworkReachabilityStatus";

  struct Dependencies {
    MainLoop* loop = nullptr;
    Clock* clock = nullptr;
    Reachability* reachability = nullptr;  // may be absent: the network then always counts as up
    std::string baseAddress;               // "http://HOST[:PORT]/api/v2.0"
    // When given, the service's address is read from the deployment at each request instead.
    const DeploymentSettings* settings = nullptr;
    std::unique_ptr<HttpTransport> transport;
    std::string userAgent = "twig-child";
  };

  explicit ApiClient(Dependencies dependencies);
  ~ApiClient();
  ApiClient(const ApiClient&) = delete;
  ApiClient& operator=(const ApiClient&) = delete;

  // The agent's client: libcurl towards the deployment's service, on the ports' loop and clock.
  static std::unique_ptr<ApiClient> forService(const Ports& ports);

  // methodType: 0 GET (parameters in the query), 1 POST, 2 PUT, 4 PATCH (parameters as a JSON body).
  // Any other number sends nothing and calls neither callback.
  void requestWithPath(const std::string& path, const std::optional<Json>& parameters, int methodType,
                       Success success, Failure failure);
  void requestWithPath(const std::string& path, const std::optional<Json>& parameters, HttpMethod method,
                       Success success, Failure failure) {
    requestWithPath(path, parameters, static_cast<int>(method), std::move(success), std::move(failure));
  }
  // A multipart/form-data POST: parameters become form fields and `body` appends the parts.
  void POST(const std::string& path, const std::optional<Json>& parameters, const BodyBuilder& body,
            Success success, Failure failure);

  bool isConnectionAvailable() const;
  // Emitted on the main loop with (status != not reachable) on every reachability change.
  [[nodiscard]] ObserverToken onReachabilityChange(std::function<void(bool reachable)> observer);

  // The two signature headers of one request.
  static std::vector<std::pair<std::string, std::string>> hmacWithTimeStamp(const std::string& timestamp,
                                                                            const std::string& hmac);

 private:
  struct State;
  void send(const std::string& path, const std::optional<Json>& parameters, int methodType,
            const BodyBuilder* body, Success success, Failure failure);

  std::shared_ptr<State> state_;
  Clock* clock_;
  MainLoop* loop_;
  Reachability* reachability_;
  std::string baseAddress_;
  const DeploymentSettings* settings_;
  std::string userAgent_;
  std::unique_ptr<HttpTransport> transport_;
};

}  // namespace twig
