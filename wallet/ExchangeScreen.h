#pragma once

#include "wallet/WalletContext.h"

#include <cstdint>
#include <optional>
#include <string>

#include "frame/ViewModel.h"
#include "wallet/PointsTotal.h"

namespace twig {

// Exchanging points for play time: the family's rule says how many points buy how many minutes and
// how many units one application may ask for; the child picks a number of units, sees the cost and
// what would remain, and applies (a bill with negative points). Main loop only.
//
// State: "title" ("兑换时间"), "date" (picker rows "01", "02", …), "selected" (units, from 1),
// "cost", "remaining", "rateText" ("(3刺猬币可兑换1分钟)"), "rowHeight" (50).
// Actions: "selectRow" {"row": 0..}, "save", "back".
class ExchangeScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  // More rows than anyone scrolls through: a rule that offers more is cut here.
  static constexpr std::int64_t kMostUnits = 999;
  // Why "兑换" sends nothing when the picker has no rows: no rate known yet, a rule that allows no
  // time, a balance below the price of one unit.
  static constexpr const char* kNoRuleText = "汇率未更新，请稍后再试";
  static constexpr const char* kNotNowText = "暂时不能兑换";
  static constexpr const char* kTooFewPointsText = "刺猬币不足";

  explicit ExchangeScreen(WalletContext context);

  void applyRule(const Json& rule);
  void selectRow(int row);
  void save();
  void back();
  // Recomputes the cost and remaining labels.
  void setText();

 protected:
  void onLoad() override;

 private:
  WalletContext context_;
  // The picker's rows: the units the balance affords, up to the rule's most.
  void fillRows();
  std::int64_t balance() const;
  std::int64_t pointsPerUnit() const;

  std::optional<PointsTotal> bonuspointsStatistics_;
  std::string parities_;
  std::optional<std::int64_t> unitsMost_;  // from the last rule applied
  Json date_ = Json::array();
  std::int64_t selected_ = 1;  // kept within the rows
  bool saving_ = false;        // an application waits for its answer
};

}  // namespace twig
