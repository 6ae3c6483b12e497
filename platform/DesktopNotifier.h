#pragma once

#include <string>

namespace twig {

// Short notices in the desktop's notification area (a bubble that goes by itself).
class DesktopNotifier {
 public:
  virtual ~DesktopNotifier() = default;
  // False when there is no notification service to show it.
  virtual bool notify(const std::string& summary, const std::string& body) = 0;
};

}  // namespace twig
