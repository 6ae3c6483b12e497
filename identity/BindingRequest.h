#pragma once

#include <functional>
#include <optional>

#include "api/Error.h"
#include "platform/Json.h"
#include "platform/NotificationCenter.h"

namespace twig {

class ApiClient;
class ChildIdentity;
class MainLoop;

// The enrolment exchange, and the binding screen's watch on the application becoming active.
class BindingRequest {
 public:
  using Completion = std::function<void(const std::optional<Error>& error)>;
  static constexpr const char* kPath = "device/enroll";

  // POSTs the body to "device/enroll". 200 stores the parent's identities and completes without
  // error; another 2xx completes without error and stores nothing; 202 and failures complete with
  // an error of domain "error" whose code is the answer's "errorCode" (0 without one).
  static void loginWithParameter(ApiClient& api, ChildIdentity& child, const Json& parameters,
                                 Completion complete);

  // `becameActive` runs each time the application becomes active, until removeNotice().
  BindingRequest(NotificationCenter& notifications, MainLoop& loop, std::function<void()> becameActive);
  void removeNotice();

 private:
  ObserverToken becameActive_;
};

}  // namespace twig
