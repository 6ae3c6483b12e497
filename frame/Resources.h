#pragma once

#include <optional>
#include <string_view>

namespace twig {

// Files shipped inside the program (the screen list "Routing", ...), built in from resources/.
class Resources {
 public:
  // The bytes of resource `name` of type `type` (its file extension); nothing when not shipped.
  static std::optional<std::string_view> find(std::string_view name, std::string_view type);
};

}  // namespace twig
