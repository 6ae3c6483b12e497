#pragma once

#include "wallet/WalletContext.h"

#include <vector>

#include "frame/ViewModel.h"
#include "wallet/HouseworkClaim.h"
#include "wallet/PointsSubject.h"

namespace twig {

// Housework: the family's tasks, each with its icon, name and points, and a button that claims it.
// Main loop only.
//
// State: "title" ("干家务"), "rowHeight" (70), "worksList" ([{"subjectId", "name", "iconUrl", "points":
// "5刺猬币"}]). Actions: "requestHouseWork" {"row": 0..} (the row's button), "selectRow" {"row"} (only clears
// the selection).
class HouseworkScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  explicit HouseworkScreen(WalletContext context);
  void requestHouseWork(int row);
  const std::vector<PointsSubject>& worksList() const { return worksList_; }

 protected:
  void onLoad() override;

 private:
  WalletContext context_;
  void show(std::vector<PointsSubject> entries);

  std::vector<PointsSubject> worksList_;
  // One per row, as each row applies for itself.
  std::vector<HouseworkClaim> cellStores_;
};

}  // namespace twig
