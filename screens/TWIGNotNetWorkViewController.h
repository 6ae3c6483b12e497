#pragma once

#include "frame/TWIGBaseViewController.h"

namespace twig {

// The help screen a tap on the no-network bar opens. Action: back (closes it).
class TWIGNotNetWorkViewController final : public TWIGBaseViewController {
 public:
  TWIGNotNetWorkViewController();
  void back();

 protected:
  void viewDidLoad() override { setTitle("网络无法连接"); }
};

}  // namespace twig
