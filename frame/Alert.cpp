#include "frame/Alert.h"

#include "platform/Ports.h"

namespace twig {

Alert::Alert(std::string title, std::string message, std::vector<std::string> buttons)
    : spec_{std::move(title), std::move(message), std::move(buttons)} {}

void Alert::handlerClickedButton(std::function<void(int)> handler) {
  handler_ = std::move(handler);
}

void Alert::show(ScreenHost& host) {
  std::weak_ptr<Alert> weak = shared_from_this();
  host.showAlert(spec_, [weak](int index) {
    if (auto alert = weak.lock()) alert->alertViewClickedButtonAtIndex(index);
  });
}

void Alert::alertViewClickedButtonAtIndex(int buttonIndex) {
  if (handler_) handler_(buttonIndex);
}

}  // namespace twig
