#include "wallet/HouseworkScreen.h"

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "wallet/HouseworkStore.h"
#include "wallet/PointsTotal.h"

namespace twig {

const StateShape& HouseworkScreen::stateShape() {
  static const StateShape shape{{"rowHeight", FieldType::Number}, {"worksList", FieldType::List}};
  return shape;
}

HouseworkScreen::HouseworkScreen(WalletContext context)
    : ViewModel("HouseworkScreen", stateShape()), context_(context) {
  addAction("requestHouseWork",
            [this](const Json& arguments) { requestHouseWork(intArgument(arguments, "row")); });
  addAction("selectRow", [](const Json&) {});
}

void HouseworkScreen::onLoad() {
  setTitle("干家务");
  setState("rowHeight", 70);
  setState("worksList", Json::array());
  auto weak = weakSelf<HouseworkScreen>();
  HouseworkStore::requestHouseWorkItemsCompletion(
      context_, [weak, &loop = context_.services.ports.mainLoop](const HouseworkStore::Entries& entries,
                                                                 const std::optional<Error>& error) {
        if (error) return;  // the list stays as it was
        loop.runOrPost([weak, entries] {
          if (auto self = weak.lock()) self->show(entries);
        });
      });
}

void HouseworkScreen::show(std::vector<PointsSubject> entries) {
  worksList_ = std::move(entries);
  cellStores_.clear();
  for (std::size_t i = 0; i < worksList_.size(); ++i) cellStores_.emplace_back(context_);
  Json rows = Json::array();
  for (const auto& entry : worksList_) {
    Json row = Json::object();
    row["subjectId"] = entry.subjectId.value_or(Json(nullptr));
    row["name"] = entry.name.value_or("");
    row["iconUrl"] = Utils::webAddress(entry.iconUrl.value_or(""));
    const Json points = entry.bonuspoint.value_or(Json(0));
    row["points"] = PointsTotal::pointsText(points) + "刺猬币";
    rows.push_back(std::move(row));
  }
  setState("worksList", std::move(rows));
}

void HouseworkScreen::requestHouseWork(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= worksList_.size()) return;
  if (!context_.services.api.isConnectionAvailable()) {
    context_.services.host.showOverlay(OverlayKind::Error, "网络连接失败");
    return;
  }
  cellStores_[static_cast<std::size_t>(row)].postHouseWorkTask(worksList_[static_cast<std::size_t>(row)]);
}

}  // namespace twig
