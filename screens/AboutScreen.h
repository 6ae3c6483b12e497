#pragma once

#include "frame/ViewModel.h"

namespace twig {

class DeviceFacts;

// About the application: its name and installed version, and one row, "许可协议", that opens the
// licence agreement.
//
// State: "title" ("关于刺猬家"), "labelName" ("刺猬家 1.0.0"), "rows" (["许可协议"]).
// Action: "selectRow" {"row": 0}.
class AboutScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  explicit AboutScreen(DeviceFacts& device);
  void selectRow(int row);

 protected:
  void onLoad() override;

 private:
  DeviceFacts& device_;
};

}  // namespace twig
