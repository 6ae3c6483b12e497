#pragma once

#include "frame/ViewModel.h"

namespace twig {

// The help screen a tap on the no-network bar opens. Action: back (closes it).
class NoNetworkScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  NoNetworkScreen();
  void back();

 protected:
  void onLoad() override { setTitle("网络无法连接"); }
};

}  // namespace twig
