#pragma once

#include "frame/TWIGBaseViewController.h"

namespace twig {

// The root screen of a bound device. So far it does the first steps of its load: its title, and
// the binding screen when the device is not bound.
class TWIGHomePageViewController final : public TWIGBaseViewController {
 public:
  TWIGHomePageViewController() : TWIGBaseViewController("TWIGHomePageViewController") {}

 protected:
  void viewDidLoad() override;
};

}  // namespace twig
