#pragma once

#include "wallet/WalletContext.h"

#include <memory>

#include "wallet/PointsSubject.h"

namespace twig {

// One housework row's application: POST "bills" with the entry's subject ("type" 1), then
// "申请成功", the service's "errorDescription", or "申请失败". One application at a time: a tap
// while the last one waits for its answer does nothing (each carries a fresh "billMd5", so the
// service could not tell a double tap from a second claim).
class HouseworkClaim {
 public:
  explicit HouseworkClaim(WalletContext context) : context_(context) {}
  // A copy would share the row's state with another row.
  HouseworkClaim(const HouseworkClaim&) = delete;
  HouseworkClaim& operator=(const HouseworkClaim&) = delete;
  HouseworkClaim(HouseworkClaim&&) = default;
  HouseworkClaim& operator=(HouseworkClaim&&) = default;

  void postHouseWorkTask(const PointsSubject& entry);
  bool isSending() const { return *sending_; }

 private:
  // Shared with the request's callbacks, which may end after the row is gone.
  WalletContext context_;
  std::shared_ptr<bool> sending_ = std::make_shared<bool>(false);
};

}  // namespace twig
