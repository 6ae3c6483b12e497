#pragma once

#include "wallet/WalletContext.h"

#include <functional>
#include <memory>

#include "frame/ViewModel.h"
#include "platform/NotificationCenter.h"

namespace twig {

// The root screen of a bound device: the child's balance and a mark for new bills, one button per
// feature screen. (The lock screen is shown over every screen, this one included, by the lock
// presenter made at launch.) An unbinding
// ("Reset") clears the stored state and returns to the binding screen. Main loop only; the names
// it observes may be posted on any thread, and it moves their work here.
//
// State: "title" ("刺猬家"), "titleColor", "balance" (text), "redPoint"
// (bool), "buttons" ([{"tag": 200.., "storyboardName", "storyboardID"}]), and the layout
// for the screen's height: "buttonSpacing", "backgroundHeight", "redPointCornerRadius".
// Actions: "homePageButton" {"tag": 200..}, "updateRedPoint".
class HomeScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr int kFirstButtonTag = 200;

  // What an unbinding asks of the rest of the agent.
  struct Hooks {
    // Everything stored goes: the downloaded pictures, every cache key (the binding flag too) and
    // the control tables. User defaults stay.
    std::function<void()> eraseStoredState;
    std::function<void()> openApplicationWithTessel;
    std::function<void()> updateManagementTable;
    // Whether the child is using the device (not at the lock screen of the system).
    std::function<bool()> screenInUse;
  };

  HomeScreen(WalletContext context, Hooks hooks);

  void homePageButton(int tag);
  void updateRedPoint();
  // The device was unbound.
  void reset();

 protected:
  void onLoad() override;
  void onWillAppear() override;

 private:
  void pushLogin();

  WalletContext context_;
  Hooks hooks_;
  bool appeared_ = false;
  ObserverToken reset_;
  ObserverToken bills_;
};

}  // namespace twig
