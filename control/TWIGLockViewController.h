#pragma once

#include <functional>
#include <memory>

#include "control/TWIGLockAppsView.h"
#include "control/TWIGLockStore.h"
#include "frame/TWIGBaseViewController.h"
#include "platform/NotificationCenter.h"

namespace twig {

// The lock screen that covers the agent while applications of a controlled group run outside their
// window: a clock, the date, the status text and the grid of those applications, with a spoken
// warning. It closes itself on "EventAppControlEnd" and on "Reset". Main loop only.
//
// State: "title" ("管控"), "time" ("HH:mm"), "date" ("星期一·2016-05-09"), "expected" (the status
// text), "expectedLineHeight" (1.5), "statusBarHidden" (true), "sections" (see TWIGLockAppsView),
// "gridSide", "gridOffsetY" (below the vertical centre), "cellSide", "sectionInset",
// "headerHeight", "warnings" (how many have been spoken), "closed" (true once it closed).
class TWIGLockViewController final : public TWIGBaseViewController {
 public:
  TWIGLockViewController();
  ~TWIGLockViewController() override;

  // Called when the screen closes; set by whoever shows it.
  void setUnLockBlock(std::function<void()> block) { unLockBlock_ = std::move(block); }
  // The entries to show: kept until the grid exists, then shown (with a warning, three at most).
  void setArray(const Json& entries);
  const Json& array() const { return array_; }
  void updateUnLockTime();
  // Stops the clock, tells whoever showed it, and closes it if it is still shown.
  void lockEnd();
  bool prefersStatusBarHidden() const { return true; }

  const TWIGLockAppsView* lockAppsView() const { return lockAppsView_.get(); }
  const TWIGLockStore* store() const { return store_.get(); }

 protected:
  void viewDidLoad() override;

 private:
  void showGrid();

  std::function<void()> unLockBlock_;
  Json array_ = Json::array();
  std::unique_ptr<TWIGLockStore> store_;
  std::unique_ptr<TWIGLockAppsView> lockAppsView_;
  ObserverToken controlEnd_;
  ObserverToken reset_;
};

}  // namespace twig
