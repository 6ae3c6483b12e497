#pragma once

#include <functional>
#include <memory>

#include "frame/TWIGBaseViewController.h"
#include "platform/NotificationCenter.h"

namespace twig {

class TWIGLockViewController;

// The root screen of a bound device: the child's balance and a mark for new bills, one button per
// feature screen, and the lock screen while applications run outside their window. An unbinding
// ("Reset") clears the stored state and returns to the binding screen. Main loop only; the names
// it observes may be posted on any thread, and it moves their work here.
//
// State: "title" ("刺猬家"), "titleColor", "navigationBackground", "balance" (text), "redPoint"
// (bool), "buttons" ([{"tag": 200.., "storyboardName", "storyboardID"}]), "isLock", and the layout
// for the screen's height: "buttonSpacing", "backgroundHeight", "redPointCornerRadius".
// Actions: "homePageButton" {"tag": 200..}, "updateRedPoint".
class TWIGHomePageViewController final : public TWIGBaseViewController {
 public:
  static constexpr int kFirstButtonTag = 200;
  static constexpr const char* kBillsNumberKey = "billsNumber";

  // What an unbinding asks of the app-control manager.
  struct Services {
    std::function<void()> openApplicationWithTessel;
    std::function<void()> updateManagementTable;
    // Whether the child is using the device (not at the lock screen of the system).
    std::function<bool()> screenInUse;
  };

  explicit TWIGHomePageViewController(Services services);

  void homePageButton(int tag);
  void updateRedPoint();
  // "EventAppControlStart" with the offending entries.
  void lockStart(const Json& entries);
  void gotoLock(const Json& entries);
  // The device was unbound.
  void reset();

  bool isLock() const { return isLock_; }
  std::shared_ptr<TWIGLockViewController> lockVC() const { return lockVC_; }

 protected:
  void viewDidLoad() override;
  void onWillAppear() override;

 private:
  void pushLogin();

  Services services_;
  bool isLock_ = false;
  bool appeared_ = false;
  std::shared_ptr<TWIGLockViewController> lockVC_;
  ObserverToken controlStart_;
  ObserverToken reset_;
  ObserverToken bills_;
};

}  // namespace twig
