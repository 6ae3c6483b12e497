#pragma once

#include <string>
#include <string_view>

namespace twig::service {

// A plain square PNG whose colour follows the application's name: the icon the service shows for
// applications it has no picture of.
class PlaceholderIcon {
 public:
  static std::string png(std::string_view name, int size = 60);
};

}  // namespace twig::service
