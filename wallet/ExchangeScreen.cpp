#include "wallet/ExchangeScreen.h"

#include <algorithm>
#include <cstdio>

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "wallet/BillRequest.h"
#include "wallet/ExchangeStore.h"

namespace twig {

const StateShape& ExchangeScreen::stateShape() {
  static const StateShape shape{{"rowHeight", FieldType::Number}, {"date", FieldType::List},
                                {"selected", FieldType::Number},  {"cost", FieldType::Text},
                                {"remaining", FieldType::Text},   {"rateText", FieldType::Text}};
  return shape;
}

ExchangeScreen::ExchangeScreen(WalletContext context)
    : ViewModel("ExchangeScreen", stateShape()), context_(context) {
  addAction("selectRow", [this](const Json& arguments) { selectRow(intArgument(arguments, "row")); });
  addAction("save", [this](const Json&) { save(); });
  addAction("back", [this](const Json&) { back(); });
}

void ExchangeScreen::onLoad() {
  setTitle("兑换时间");
  setState("rowHeight", 50);
  setState("date", date_);
  setState("selected", selected_);
  setState("cost", "0");
  setState("remaining", "0");
  if (auto stored = context_.services.cache.objectForKey(stored::kPointsTotal)) {
    bonuspointsStatistics_ = stored->modelValue<PointsTotal>();
    if (bonuspointsStatistics_) setState("remaining", std::to_string(balance()));
  }
  if (auto stored = context_.services.cache.objectForKey(ExchangeStore::kParitiesKey))
    parities_ = stored->stringValue().value_or("");

  auto weak = weakSelf<ExchangeScreen>();
  auto& loop = context_.services.ports.mainLoop;
  ExchangeStore::requestKidTotalStateCompletion(
      context_, [weak, &loop](const std::optional<PointsTotal>& statistics, const std::optional<Error>&) {
        if (!statistics) return;
        loop.runOrPost([weak, statistics] {
          auto self = weak.lock();
          if (!self) return;
          self->bonuspointsStatistics_ = statistics;
          // The rule may have come first, when the balance was not known yet: offer what the
          // balance now affords.
          if (self->unitsMost_) self->fillRows();
          self->setText();
        });
      });
  ExchangeStore::requestBonuspointsConsumesRulesCompletion(
      context_, [weak, &loop, context = context_](const Json& rule) {
        loop.runOrPost([weak, rule, context] {
          if (auto self = weak.lock()) {
            self->applyRule(rule);
          } else {
            context.services.host.dismissOverlay();  // the screen left before its answer
          }
        });
      });
}

std::int64_t ExchangeScreen::balance() const {
  if (!bonuspointsStatistics_ || !bonuspointsStatistics_->total) return 0;
  return Utils::integerValue(*bonuspointsStatistics_->total);
}

std::int64_t ExchangeScreen::pointsPerUnit() const {
  const auto rate = ExchangeStore::parseParities(parities_);
  return rate ? rate->points : 0;
}

void ExchangeScreen::applyRule(const Json& rule) {
  const std::string parities = Utils::stringValue(rule, "parities");
  const auto rate = ExchangeStore::parseParities(parities);
  if (!rate) {
    // A rate that cannot be read is no rule: what was shown stays, and the progress message goes.
    context_.services.host.dismissOverlay();
    return;
  }
  const std::int64_t most =
      std::clamp<std::int64_t>(Utils::integerValue(rule.value("appUseIntervalMax", Json(0))), 0, kMostUnits);
  parities_ = parities;
  unitsMost_ = most;
  setState("rateText", "(" + parities.substr(2) + "刺猬币可兑换" + parities.substr(0, 1) + "分钟)");
  context_.services.cache.setObjectValue(CacheObject(Json(parities_)), ExchangeStore::kParitiesKey);
  fillRows();
  setText();
  context_.services.host.showOverlay(OverlayKind::Success, "更新成功");
}

void ExchangeScreen::fillRows() {
  const std::int64_t most = unitsMost_.value_or(0);
  const std::int64_t points = pointsPerUnit();
  const std::int64_t total = balance();
  std::int64_t units = most;
  if (total < points * most) units = points == 0 ? 0 : std::max<std::int64_t>(0, total / points);
  date_ = Json::array();
  for (std::int64_t unit = 1; unit <= units; ++unit) {
    char row[24];
    std::snprintf(row, sizeof row, "%02lld", static_cast<long long>(unit));
    date_.push_back(row);
  }
  setState("date", date_);
  // A shrunken balance leaves fewer rows: the choice moves onto the last one, so that the cost and
  // what remains are those of a row that exists.
  const std::int64_t chosen = std::clamp<std::int64_t>(selected_, 1, std::max<std::int64_t>(units, 1));
  if (chosen != selected_) {
    selected_ = chosen;
    setState("selected", selected_);
  }
}

void ExchangeScreen::setText() {
  const std::int64_t total = balance();
  const std::int64_t cost = selected_ * pointsPerUnit();
  setState("cost", total == 0 ? "0" : std::to_string(cost));
  setState("remaining", total == 0 ? "0" : std::to_string(total - cost));
}

void ExchangeScreen::selectRow(int row) {
  if (date_.empty() || row < 0 || static_cast<std::size_t>(row) >= date_.size()) return;
  selected_ = row + 1;
  setState("selected", selected_);
  setText();
}

void ExchangeScreen::save() {
  // One application at a time: a second tap before the answer would send a second bill.
  if (saving_) return;
  if (date_.empty()) {
    // Nothing to offer: say why instead of doing nothing.
    auto& host = context_.services.host;
    if (!unitsMost_ || pointsPerUnit() == 0) {
      host.showOverlay(OverlayKind::Error, kNoRuleText);
    } else if (*unitsMost_ == 0) {
      host.showOverlay(OverlayKind::Error, kNotNowText);
    } else {
      host.showOverlay(OverlayKind::Error, kTooFewPointsText);
    }
    return;
  }
  const std::string device = context_.child.deviceId();
  if (device.empty()) return;
  saving_ = true;
  const std::int64_t cost = Utils::integerValue(state().value("cost", Json("0")));
  Json parameters = Json::object();
  parameters["childDeviceId"] = device;
  parameters["type"] = 2;
  parameters["subjectId"] = 1;
  parameters["pictures"] = nullptr;
  parameters["bonuspoint"] = -cost;
  auto weak = weakSelf<ExchangeScreen>();
  auto& host = context_.services.host;
  BillRequest::post(
      context_.services.api, parameters,
      [weak, &host](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        if (auto self = weak.lock()) self->saving_ = false;
        if (operation->statusCode != 200) {
          host.showOverlay(OverlayKind::Error, BillRequest::errorDescription(answer, "申请失败"));
          return;
        }
        host.showOverlay(OverlayKind::Success, "申请成功");
        if (auto self = weak.lock()) self->back();
      },
      [weak, context = context_](const ApiClient::Operation&, const Error&) {
        if (auto self = weak.lock()) self->saving_ = false;
        context.services.host.showOverlay(OverlayKind::Error, "申请失败");
      });
}

void ExchangeScreen::back() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->pop(true);
}

}  // namespace twig
