#include "identity/BindingRequest.h"

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "identity/ChildIdentity.h"
#include "platform/ApplicationEvents.h"
#include "platform/MainLoop.h"

namespace twig {

namespace {

std::string textMember(const std::optional<Json>& answer, const char* key) {
  if (!answer || !answer->is_object()) return "";
  auto it = answer->find(key);
  if (it == answer->end() || it->is_null()) return "";
  return it->is_string() ? it->get<std::string>() : it->dump();
}

long long errorCodeOf(const std::optional<Json>& body) {
  if (!body || !body->is_object()) return 0;
  auto it = body->find("errorCode");
  return it == body->end() ? 0 : Utils::integerValue(*it);
}

}  // namespace

void BindingRequest::loginWithParameter(ApiClient& api, ChildIdentity& child, const Json& parameters,
                                        Completion complete) {
  api.requestWithPath(
      kPath, parameters, HttpMethod::Post,
      [complete, &child](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        if (operation->statusCode == 202) {
          complete(Error{"error", errorCodeOf(answer), "the service refused the binding code"});
          return;
        }
        if (operation->statusCode == 200) {
          const std::string parentDN = textMember(answer, "parentDN");
          const std::string parentDeviceId = textMember(answer, "parentDeviceId");
          child.updateChildInfo([&](ChildInfo& info) {
            info.parentDN = parentDN;
            info.parentDeviceId = parentDeviceId;
          });
        }
        complete(std::nullopt);
      },
      [complete](const ApiClient::Operation& operation, const Error& error) {
        const long long code = operation ? errorCodeOf(operation->responseObject) : 0;
        complete(Error{"error", code, error.description});
      });
}

BindingRequest::BindingRequest(NotificationCenter& notifications, MainLoop& loop,
                               std::function<void()> becameActive) {
  becameActive_ =
      notifications.addObserver(ApplicationEvents::kDidBecomeActive,
                                [becameActive = std::move(becameActive), &loop](const Notification&) {
                                  if (becameActive) loop.runOrPost(becameActive);
                                });
}

void BindingRequest::removeNotice() {
  becameActive_.reset();
}

}  // namespace twig
