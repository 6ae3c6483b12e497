#pragma once

#include "wallet/TWIGBonuspointsMondel.h"

namespace twig {

// One housework row's application: POST "bills" with the entry's subject ("type" 1), then
// "申请成功", the service's "errorDescription", or "申请失败".
class TWIGGanJiaWuCellStore {
 public:
  void postHouseWorkTask(const TWIGBonuspointsMondel& entry);
};

}  // namespace twig
