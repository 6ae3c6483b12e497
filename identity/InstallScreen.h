#pragma once

#include "frame/ViewModel.h"
#include "platform/MainLoop.h"
#include "platform/NotificationCenter.h"

namespace twig {

// Guides the installation of the child launcher: a button opens the launcher's installation link,
// and every 5 seconds (paused in the background) the screen checks whether the launcher is there,
// switching between the not-installed and the installed look.
//
// State: "title", "label", "buttonTitle", "buttonSelected", "buttonBackground" and
// "buttonTitleColor" (#RRGGBB), "picture" ("111.gif" / "333.gif"), "pictureFit", "pictureOffset",
// "navigationTint", "navigationBackground". Action: install.
class InstallScreen final : public ViewModel {
 public:
  static constexpr const char* kLauncherScheme = "children-launcher:";
  static constexpr const char* kSelectedKey = "isSelected";

  InstallScreen();

  void install();
  void detection();
  void gif1();
  void gif2();
  void didBecomeActiveNotification();
  void didEnterBackgroundNotification();
  bool isButtonSelected() const { return selected_; }

 protected:
  void onLoad() override;

 private:
  void showNotInstalled();
  void showInstalled();

  bool selected_ = false;
  TimerHandle timer_;
  ObserverToken foreground_;
  ObserverToken background_;
};

}  // namespace twig
