#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/ScreenHost.h"

namespace twig {

// An alert with one click action attached: a second attachment replaces the first, and a click
// with nothing attached does nothing. Shown on the host it is handed; main loop only.
class Alert : public std::enable_shared_from_this<Alert> {
 public:
  Alert(std::string title, std::string message, std::vector<std::string> buttons);

  void handlerClickedButton(std::function<void(int buttonIndex)> handler);
  void show(ScreenHost& host);
  void alertViewClickedButtonAtIndex(int buttonIndex);
  const AlertSpec& spec() const { return spec_; }

 private:
  AlertSpec spec_;
  std::function<void(int)> handler_;
};

}  // namespace twig
