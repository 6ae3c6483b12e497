#pragma once

#include "frame/Services.h"

#include "frame/ViewModel.h"
#include "platform/MainLoop.h"
#include "platform/NotificationCenter.h"

namespace twig {

// Guides the installation of the child launcher: a button opens the launcher's installation link,
// and every 5 seconds (paused in the background) the screen checks whether the launcher is there,
// switching between the not-installed and the installed look.
//
// State: "title", "label", "buttonTitle", "buttonBackground" and "buttonTitleColor" (#RRGGBB),
// "picture" ("111.gif" / "333.gif"), "pictureOffset". Action: install.
class InstallScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr const char* kLauncherScheme = "children-launcher:";
  // What opens an installation manifest's address on this platform.
  static constexpr const char* kInstallLinkPrefix = "itms-services://?action=download-manifest&url=";

  explicit InstallScreen(Services services);

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

  Services services_;
  bool selected_ = false;
  TimerHandle timer_;
  ObserverToken foreground_;
  ObserverToken background_;
};

}  // namespace twig
