#include "wallet/TWIGGanJiaWuViewController.h"

#include "api/TWIGRequest.h"
#include "api/TWIGUtils.h"
#include "identity/TWIGChildUser.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "wallet/TWIGGanJiaWuStore.h"
#include "wallet/TWIGTotalModel.h"

namespace twig {

TWIGGanJiaWuViewController::TWIGGanJiaWuViewController()
    : TWIGBaseViewController("TWIGGanJiaWuViewController") {
  addAction("requestHouseWork",
            [this](const Json& arguments) { requestHouseWork(intArgument(arguments, "row")); });
  addAction("selectRow", [](const Json&) {});
}

void TWIGGanJiaWuViewController::viewDidLoad() {
  setTitle("干家务");
  setState("tabBarHidden", true);
  setState("rowHeight", 70);
  setState("rowIdentifier", "GanJiaWuCell");
  setState("upRefCellState", 0);
  setState("worksList", Json::array());
  auto weak = weakSelf<TWIGGanJiaWuViewController>();
  TWIGGanJiaWuStore::requestHouseWorkItemsCompletion(
      [weak](const TWIGGanJiaWuStore::Entries& entries, const std::optional<TWIGError>& error) {
        if (error) return;  // the list stays as it was
        port::mainLoop().runOrPost([weak, entries] {
          if (auto self = weak.lock()) self->show(entries);
        });
      });
}

void TWIGGanJiaWuViewController::show(std::vector<TWIGBonuspointsMondel> entries) {
  worksList_ = std::move(entries);
  cellStores_ = std::vector<TWIGGanJiaWuCellStore>(worksList_.size());
  Json rows = Json::array();
  for (const auto& entry : worksList_) {
    Json row = Json::object();
    row["subjectId"] = entry.subjectId.value_or(Json(nullptr));
    row["name"] = entry.name.value_or("");
    row["iconUrl"] = TWIGUtils::webAddress(entry.iconUrl.value_or(""));
    const Json points = entry.bonuspoint.value_or(Json(0));
    row["points"] = TWIGTotalModel::pointsText(points) + "刺猬币";
    rows.push_back(std::move(row));
  }
  setState("worksList", std::move(rows));
}

void TWIGGanJiaWuViewController::requestHouseWork(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= worksList_.size()) return;
  if (!TWIGRequest::sharedRequest().isConnectionAvailable()) {
    TWIGChildUser::sharedChildUser().showErrorMessage("网络连接失败");
    return;
  }
  cellStores_[static_cast<std::size_t>(row)].postHouseWorkTask(worksList_[static_cast<std::size_t>(row)]);
}

}  // namespace twig
