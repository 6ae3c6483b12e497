#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "api/Error.h"
#include "frame/Services.h"
#include "frame/ViewModel.h"
#include "identity/BindingRequest.h"
#include "identity/EnrolmentBody.h"

namespace twig {

class ChildIdentity;

// The binding screen: the child types the parent's binding code, ticks the service agreement and
// confirms; the device is then enrolled and counts as bound.
//
// State: "title", "text1" (the code), "text2" (the second field, numeric, focused 0.5 s after
// load), "agreementSelected", "confirmVisible" (false while a request runs: confirming is then
// unavailable), "waiting" (the ring spins), "ringRestarts", "shake" ({"target", "serial"}),
// "focusedField", "viewOffset", "navigationBarHidden".
// Actions: setText1, setText2, determineButton (also the keyboard's Return), chooseButton,
// agreementButton, editingBegan, editingEnded, touchOutside.
class BindingScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr const char* kDemoCode = EnrolmentBody::kDemoCode;
  static constexpr const char* kWrongCodeMessage = "您输入的绑定号有误";
  static constexpr const char* kFailedMessage = "绑定失败";
  static constexpr const char* kDemoMessage = "登陆成功";
  static constexpr long long kWrongCodeError = 10101;

  // `didBind` runs once the device counts as bound and the screen closes (the wiring starts app
  // control and announces the device online).
  BindingScreen(Services services, ChildIdentity& child, std::function<void()> didBind = nullptr);
  ~BindingScreen() override;

  void setText1(const std::string& text);
  void setText2(const std::string& text);
  void determineButton();
  void chooseButton();
  void agreementButton();
  // Restarts the ring when a request is running (the application became active again).
  void doAnimation();
  void editingBegan();
  void editingEnded();
  void touchOutside();

  bool isWaiting() const { return waiting_; }
  bool isAgreementSelected() const { return agreementSelected_; }

 protected:
  void onLoad() override;
  void onWillAppear() override;
  void onWillDisappear() override;

 private:
  void shake(const std::string& target);
  void sendEnrolment();
  void loginCompleted(const std::optional<Error>& error);
  void showConfirmAgain();
  void closeAsBound();

  Services services_;
  ChildIdentity& child_;
  std::function<void()> didBind_;
  std::unique_ptr<BindingRequest> store_;
  std::string text1_;
  std::string text2_;
  bool agreementSelected_ = false;
  bool waiting_ = false;
  int shakes_ = 0;
  int ringRestarts_ = 0;
};

}  // namespace twig
