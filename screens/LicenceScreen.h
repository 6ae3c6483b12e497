#pragma once

#include "frame/ViewModel.h"

namespace twig {

// The licence agreement (also the binding screen's service agreement): the shipped text
// "textfile.html", shown as a web page.
//
// State: "title" ("许可协议"), "html" (the page, UTF-8; it links to nothing else).
class LicenceScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr const char* kResourceName = "textfile";
  static constexpr const char* kResourceType = "html";

  LicenceScreen() : ViewModel("LicenceScreen", stateShape()) {}

 protected:
  void onLoad() override;
};

}  // namespace twig
