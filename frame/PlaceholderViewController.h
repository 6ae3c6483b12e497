#pragma once

#include "frame/TWIGBaseViewController.h"

namespace twig {

// The empty screen shown from launch until the configuration answer picks the first screen.
class PlaceholderViewController final : public TWIGBaseViewController {
 public:
  PlaceholderViewController() : TWIGBaseViewController("Placeholder") {}
};

}  // namespace twig
