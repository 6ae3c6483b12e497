#pragma once

#include <vector>

#include "frame/TWIGBaseViewController.h"
#include "wallet/TWIGBonuspointsMondel.h"
#include "wallet/TWIGGanJiaWuCellStore.h"

namespace twig {

// Housework: the family's tasks, each with its icon, name and points, and a button that claims it.
// Main loop only.
//
// State: "title" ("干家务"), "tabBarHidden", "rowHeight" (70), "rowIdentifier", "upRefCellState",
// "worksList" ([{"subjectId", "name", "iconUrl", "points": "5刺猬币"}]).
// Actions: "requestHouseWork" {"row": 0..} (the row's button), "selectRow" {"row"} (only clears
// the selection).
class TWIGGanJiaWuViewController final : public TWIGBaseViewController {
 public:
  TWIGGanJiaWuViewController();
  void requestHouseWork(int row);
  const std::vector<TWIGBonuspointsMondel>& worksList() const { return worksList_; }

 protected:
  void viewDidLoad() override;

 private:
  void show(std::vector<TWIGBonuspointsMondel> entries);

  std::vector<TWIGBonuspointsMondel> worksList_;
  // One per row, as each row applies for itself.
  std::vector<TWIGGanJiaWuCellStore> cellStores_;
};

}  // namespace twig
