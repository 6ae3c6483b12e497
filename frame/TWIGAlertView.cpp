#include "frame/TWIGAlertView.h"

#include "platform/Ports.h"

namespace twig {

TWIGAlertView::TWIGAlertView(std::string title, std::string message, std::vector<std::string> buttons)
    : spec_{std::move(title), std::move(message), std::move(buttons)} {}

void TWIGAlertView::handlerClickedButton(std::function<void(int)> handler) {
  handler_ = std::move(handler);
}

void TWIGAlertView::show() {
  std::weak_ptr<TWIGAlertView> weak = shared_from_this();
  port::screenHost().showAlert(spec_, [weak](int index) {
    if (auto alert = weak.lock()) alert->alertViewClickedButtonAtIndex(index);
  });
}

void TWIGAlertView::alertViewClickedButtonAtIndex(int buttonIndex) {
  if (handler_) handler_(buttonIndex);
}

}  // namespace twig
