#include "api/ApiClient.h"

#include <atomic>
#include <mutex>

#include "BuildConfig.h"
#include "api/CurlHttpTransport.h"
#include "api/Digest.h"
#include "api/HttpResponseInterpreter.h"
#include "api/QueryString.h"
#include "api/RequestSigner.h"
#include "api/Utils.h"
#include "platform/DeploymentSettings.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/Reachability.h"

namespace twig {

// What reachability reports touch; shared with the tasks they post, so that a report arriving after
// the client is gone does nothing.
struct ApiClient::State {
  std::atomic<bool> isNetWorking{true};
  Signal<bool> reachabilityChanged;
};

ApiClient::ApiClient(Dependencies dependencies)
    : state_(std::make_shared<State>()),
      clock_(dependencies.clock),
      loop_(dependencies.loop),
      reachability_(dependencies.reachability),
      baseAddress_(std::move(dependencies.baseAddress)),
      settings_(dependencies.settings),
      userAgent_(std::move(dependencies.userAgent)),
      transport_(std::move(dependencies.transport)) {
  if (reachability_ != nullptr) {
    std::weak_ptr<State> weak = state_;
    MainLoop* loop = loop_;
    reachability_->startMonitoring([weak, loop](ReachabilityStatus status) {
      // The flag and the reactions belong to the main loop.
      loop->post([weak, status] {
        auto state = weak.lock();
        if (!state) return;
        const bool reachable = status != ReachabilityStatus::NotReachable;
        state->isNetWorking = reachable;
        state->reachabilityChanged.notify(reachable);
      });
    });
  }
}

ApiClient::~ApiClient() {
  if (reachability_ != nullptr) reachability_->stopMonitoring();
}

std::unique_ptr<ApiClient> ApiClient::forService(const Ports& ports) {
  Dependencies dependencies;
  dependencies.loop = &ports.mainLoop;
  dependencies.clock = &ports.clock;
  dependencies.reachability = &ports.reachability;
  dependencies.settings = &ports.settings;
  CurlHttpTransport::Options transport;
  transport.caFile = ports.settings.caFile.string();
  dependencies.transport = std::make_unique<CurlHttpTransport>(transport);
  dependencies.userAgent = std::string("twig-child/") + build::kVersion;
  return std::make_unique<ApiClient>(std::move(dependencies));
}

bool ApiClient::isConnectionAvailable() const {
  return state_->isNetWorking.load();
}

ObserverToken ApiClient::onReachabilityChange(std::function<void(bool reachable)> observer) {
  return state_->reachabilityChanged.connect(std::move(observer));
}

std::vector<std::pair<std::string, std::string>> ApiClient::hmacWithTimeStamp(const std::string& timestamp,
                                                                              const std::string& hmac) {
  return {{std::string(RequestSigner::kTimeHeader), timestamp},
          {std::string(RequestSigner::kSignatureHeader), hmac}};
}

void ApiClient::requestWithPath(const std::string& path, const std::optional<Json>& parameters,
                                int methodType, Success success, Failure failure) {
  send(path, parameters, methodType, nullptr, std::move(success), std::move(failure));
}

void ApiClient::POST(const std::string& path, const std::optional<Json>& parameters, const BodyBuilder& body,
                     Success success, Failure failure) {
  send(path, parameters, 1, &body, std::move(success), std::move(failure));
}

void ApiClient::send(const std::string& path, const std::optional<Json>& parameters, int methodType,
                     const BodyBuilder* body, Success success, Failure failure) {
  if (!isConnectionAvailable()) {
    if (failure) failure(nullptr, Error{Error::kNetworkDown, 0, "the network is reported down"});
    return;
  }
  const auto method = RequestSigner::methodName(methodType);
  if (!method) return;
  if (!RequestSigner::isSignablePath(path)) {
    if (failure) {
      Error error{Error::kInvalidPath, 0, "the path '" + path + "' holds characters that cannot be signed"};
      loop_->post([failure = std::move(failure), error] { failure(nullptr, error); });
    }
    return;
  }

  // Time stamp, signature and headers belong to this request alone: nothing is shared with a
  // request that another thread builds at the same moment.
  const std::string timestamp = Utils::timeToTurnTheTimestamp(*clock_);
  HttpRequest request;
  request.method = std::string(*method);
  request.url = (settings_ != nullptr ? settings_->baseAddress() : baseAddress_) + "/" + path;
  request.headers = hmacWithTimeStamp(timestamp, RequestSigner::signature(timestamp, path, *method));
  request.headers.emplace_back("User-Agent", userAgent_);
  request.headers.emplace_back("Accept", "application/json");

  if (body != nullptr) {
    std::vector<HttpFormPart> parts;
    if (parameters) {
      for (auto& [name, value] : QueryString::pairs(*parameters)) {
        parts.push_back({name, value.value_or(""), std::nullopt, std::nullopt});
      }
    }
    MultipartFormData formData;
    if (*body) (*body)(formData);
    for (auto& part : formData.takeParts()) parts.push_back(std::move(part));
    request.multipart = std::move(parts);
  } else if (request.method == "GET") {
    if (parameters) {
      const std::string query = QueryString::encode(*parameters);
      if (!query.empty()) request.url += "?" + query;
    }
  } else if (parameters) {
    request.body = parameters->dump(-1, ' ', false, Json::error_handler_t::replace);
    request.headers.emplace_back("Content-Type", "application/json");
  }

  MainLoop* loop = loop_;
  std::string methodText = request.method;
  std::string url = request.url;
  transport_->send(std::move(request), [loop, methodText = std::move(methodText), url = std::move(url),
                                        success = std::move(success),
                                        failure = std::move(failure)](HttpResponse response) mutable {
    auto interpreted = HttpResponseInterpreter::interpret(response);
    auto operation = std::make_shared<HttpOperation>();
    operation->method = std::move(methodText);
    operation->url = std::move(url);
    operation->statusCode = response.status;
    operation->contentType = std::move(response.contentType);
    operation->responseString = std::move(response.body);
    operation->responseObject = interpreted.object;
    loop->post([operation = Operation(std::move(operation)), interpreted = std::move(interpreted),
                success = std::move(success), failure = std::move(failure)] {
      if (interpreted.success) {
        if (success) success(operation, interpreted.object);
      } else if (failure) {
        failure(operation, *interpreted.error);
      }
    });
  });
}

}  // namespace twig
