#pragma once

#include <string>
#include <vector>

#include "frame/ViewModel.h"

namespace twig {

// A bill's pictures full screen: one page per picture, loaded from its address (a failed address
// is tried again when its page shows again), a page indicator, no status bar. A double tap
// toggles the zoom between 1 and 3; a tap closes the viewer. Main loop only.
//
// State: "pages" (the addresses), "index", "zoom", "statusBarHidden". Actions: "showPage"
// {"index"}, "doubleTap", "tap".
class PhotoViewerScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  PhotoViewerScreen(std::vector<std::string> addresses, int index);
  void showPage(int index);
  void doubleTap();
  void tap();

 protected:
  void onLoad() override;

 private:
  std::vector<std::string> addresses_;
  int index_;
  int zoom_ = 1;
};

}  // namespace twig
