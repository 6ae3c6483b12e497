#pragma once

#include <functional>
#include <memory>

#include "control/ControlEvents.h"
#include "control/LockClock.h"
#include "control/LockGrid.h"
#include "frame/Services.h"
#include "frame/ViewModel.h"
#include "messaging/RemoteEvents.h"
#include "platform/NotificationCenter.h"

namespace twig {

// The lock screen that covers the agent while applications of a controlled group run outside their
// window: a clock, the date, the status text and the grid of those applications, with a spoken
// warning. It closes itself on "EventAppControlEnd" and on "Reset". Main loop only.
//
// State: "title" ("管控"), "time" ("HH:mm"), "date" ("星期一·2016-05-09"), "expected" (the status
// text), "expectedLineHeight" (1.5), "statusBarHidden" (true), "sections" (see LockGrid),
// "gridSide", "cellSide", "sectionInset",
// "headerHeight", "warnings" (how many have been spoken), "closed" (true once it closed).
class LockScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  LockScreen(Services services, ControlEvents& control, RemoteEvents& remote);
  ~LockScreen() override;

  // Called when the screen closes; set by whoever shows it.
  void setUnLockBlock(std::function<void()> block) { unLockBlock_ = std::move(block); }
  // The entries to show: kept until the grid exists, then shown (with a warning, three at most).
  void setArray(const Json& entries);
  const Json& array() const { return array_; }
  void updateUnLockTime();
  // Stops the clock, tells whoever showed it, and closes it if it is still shown.
  void lockEnd();
  bool prefersStatusBarHidden() const { return true; }

  const LockGrid* lockAppsView() const { return lockAppsView_.get(); }
  const LockClock* store() const { return store_.get(); }

 protected:
  void onLoad() override;

 private:
  void showGrid();

  std::function<void()> unLockBlock_;
  Services services_;
  ControlEvents& control_;
  RemoteEvents& remote_;
  Json array_ = Json::array();
  std::unique_ptr<LockClock> store_;
  std::unique_ptr<LockGrid> lockAppsView_;
  ObserverToken controlEnd_;
  ObserverToken reset_;
};

}  // namespace twig
