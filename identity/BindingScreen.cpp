#include "identity/BindingScreen.h"

#include <chrono>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRoutes.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "identity/EnrolmentBody.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"

namespace twig {

const StateShape& BindingScreen::stateShape() {
  static const StateShape shape{{"text1", FieldType::Text},
                                {"text2", FieldType::Text},
                                {"agreementSelected", FieldType::Flag},
                                {"confirmVisible", FieldType::Flag},
                                {"waiting", FieldType::Flag},
                                {"viewOffset", FieldType::Number},
                                {"focusedField", FieldType::Text},
                                {"shake", FieldType::Record},
                                {"ringRestarts", FieldType::Number}};
  return shape;
}

using namespace std::chrono_literals;

BindingScreen::BindingScreen(Services services, ChildIdentity& child, std::function<void()> didBind)
    : ViewModel("BindingScreen", stateShape()),
      services_(services),
      child_(child),
      didBind_(std::move(didBind)) {
  addAction("setText1", [this](const Json& arguments) { setText1(Utils::stringValue(arguments, "text")); });
  addAction("setText2", [this](const Json& arguments) { setText2(Utils::stringValue(arguments, "text")); });
  addAction("determineButton", [this](const Json&) { determineButton(); });
  addAction("returnKey", [this](const Json&) { determineButton(); });
  addAction("chooseButton", [this](const Json&) { chooseButton(); });
  addAction("agreementButton", [this](const Json&) { agreementButton(); });
  addAction("editingBegan", [this](const Json&) { editingBegan(); });
  addAction("editingEnded", [this](const Json&) { editingEnded(); });
  addAction("touchOutside", [this](const Json&) { touchOutside(); });
}

BindingScreen::~BindingScreen() {
  if (store_) store_->removeNotice();
}

void BindingScreen::onLoad() {
  setTitle("登陆");
  setState("text1", "");
  setState("text2", "");
  setState("agreementSelected", agreementSelected_);
  setState("confirmVisible", true);
  setState("waiting", false);
  setState("viewOffset", 0);
  std::weak_ptr<BindingScreen> weak = weakSelf<BindingScreen>();
  store_ = std::make_unique<BindingRequest>(services_.ports.notifications, services_.ports.mainLoop, [weak] {
    if (auto self = weak.lock()) self->doAnimation();
  });
  services_.ports.mainLoop.postAfter(500ms, [weak] {
    if (auto self = weak.lock()) self->setState("focusedField", "text2");
  });
}

void BindingScreen::onWillAppear() {
  setState("navigationBarHidden", true);
}
void BindingScreen::onWillDisappear() {
  setState("navigationBarHidden", false);
}

void BindingScreen::setText1(const std::string& text) {
  text1_ = text;
  setState("text1", text);
}

void BindingScreen::setText2(const std::string& text) {
  text2_ = text;
  setState("text2", text);
}

void BindingScreen::chooseButton() {
  agreementSelected_ = !agreementSelected_;
  setState("agreementSelected", agreementSelected_);
}

void BindingScreen::agreementButton() {
  if (auto screen = services_.routes.fetchServiceAgreement()) {
    if (host() != nullptr) host()->push(screen, true);
  }
}

void BindingScreen::shake(const std::string& target) {
  Json shakeState = Json::object();
  shakeState["target"] = target;
  shakeState["serial"] = ++shakes_;
  setState("shake", shakeState);
}

void BindingScreen::determineButton() {
  if (host() != nullptr) host()->endEditing();
  editingEnded();
  if (text1_.empty()) {
    shake("text1");
    return;
  }
  if (!agreementSelected_) {
    shake("agreement");
    return;
  }
  // The confirm button is hidden while a request runs and until it has come back after one: only
  // one request at a time, and no confirm that the child could not see.
  if (waiting_ || !state().value("confirmVisible", true)) return;
  waiting_ = true;
  setState("confirmVisible", false);
  setState("waiting", true);
  // The request starts once the button has shrunk into the ring.
  auto self = weakSelf<BindingScreen>();
  services_.ports.mainLoop.postAfter(300ms, [self] {
    if (auto screen = self.lock()) screen->sendEnrolment();
  });
}

void BindingScreen::sendEnrolment() {
  // The screen stays alive until its answer has been handled.
  auto self = std::static_pointer_cast<BindingScreen>(shared_from_this());
  BindingRequest::loginWithParameter(
      services_.api, child_, EnrolmentBody::initWithEnrollCode(text1_, child_, services_.ports.device),
      [self](const std::optional<Error>& error) { self->loginCompleted(error); });
}

void BindingScreen::doAnimation() {
  if (!waiting_) return;
  setState("ringRestarts", ++ringRestarts_);
}

void BindingScreen::showConfirmAgain() {
  setState("confirmVisible", true);
}

void BindingScreen::closeAsBound() {
  showConfirmAgain();
  if (store_) store_->removeNotice();
  if (didBind_) didBind_();
  if (host() != nullptr && host()->topScreen().get() == this) host()->pop(true);
}

void BindingScreen::loginCompleted(const std::optional<Error>& error) {
  waiting_ = false;
  setState("waiting", false);
  auto self = std::static_pointer_cast<BindingScreen>(shared_from_this());
  if (!error) {
    child_.setBound(true);
    services_.ports.mainLoop.postAfter(400ms, [self] { self->closeAsBound(); });
    return;
  }
  services_.ports.mainLoop.postAfter(500ms, [self] { self->showConfirmAgain(); });
  if (text1_ == kDemoCode && text2_ == kDemoCode) {
    // The demonstration code binds without a parent; no parent identity is stored.
    services_.host.showOverlay(OverlayKind::Success, kDemoMessage);
    child_.setBound(true);
    services_.ports.mainLoop.postAfter(400ms, [self] { self->closeAsBound(); });
    return;
  }
  services_.host.showOverlay(OverlayKind::Error,
                             error->code == kWrongCodeError ? kWrongCodeMessage : kFailedMessage);
}

void BindingScreen::editingBegan() {
  // Small screens move the form up so that the keyboard does not cover it.
  const double height = services_.ports.device.screenHeightPoints();
  setState("viewOffset", height == 480 ? -130 : height == 568 ? -80 : 0);
}

void BindingScreen::editingEnded() {
  setState("viewOffset", 0);
}

void BindingScreen::touchOutside() {
  if (host() != nullptr) host()->endEditing();
  editingEnded();
}

}  // namespace twig
