#pragma once

#include "wallet/WalletContext.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "api/Error.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "wallet/Bill.h"
#include "wallet/PointsTotal.h"

namespace twig {

// The wallet's logic: the bills page by page (ten a page), the newest page kept under
// "localStash" so that the next visit shows it at once, the points total, and the banner that a
// "bills" event raises while the wallet is open. Main loop only; the screen installs the callbacks.
class WalletStore : public std::enable_shared_from_this<WalletStore> {
 public:
  static constexpr int kPageSize = 10;
  using PageCompletion =
      std::function<void(const std::optional<std::vector<Bill>>& bills, const std::optional<Error>& error)>;

  // Reads the stored page; call start() once the object is owned by a shared_ptr.
  explicit WalletStore(WalletContext context);
  // Listens for "bills".
  void start();

  void refreshAction();
  void getMore();
  void getBonusPointsWithPageNub(int page);
  void getMoreHouseWorkBonusPointsWithPageNub(int page);
  void requestKidBonuspointsWithPageNow(int page, PageCompletion completion);
  void notificationAction();
  void btnNewsAction();
  // The wallet left the screen: a shown banner goes without a refresh.
  void removeBanner();
  void stop();

  // Installed by the screen; any may be absent.
  std::function<void()> tableHeadIconStartWhirl;
  std::function<void()> tableHeadIconEndWhirl;
  std::function<void()> reloadData;
  std::function<void(const PointsTotal&)> setTotalText;
  std::function<void(bool shown)> bannerChanged;

  const std::vector<Bill>& dataSource() const { return dataSource_; }
  bool haveMoreBills() const { return haveMoreBills_; }
  bool refState() const { return refState_; }
  int upRefCellState() const { return upRefCellState_; }
  int pages() const { return pages_; }
  bool isShowNewMag() const { return isShowNewMag_; }
  bool isShowHUD = false;

 private:
  WalletContext context_;
  void firstPageArrived(int page, const std::optional<std::vector<Bill>>& bills);
  void morePageArrived(const std::optional<std::vector<Bill>>& bills, const std::optional<Error>& error);
  void storeLocalStash() const;
  std::weak_ptr<WalletStore> weak() { return weak_from_this(); }

  bool haveMoreBills_ = false;
  bool refState_ = false;
  int upRefCellState_ = 0;
  int pages_ = 1;
  std::vector<Bill> dataSource_;
  SteadyTime stareDate_{};
  bool isShowNewMag_ = false;
  ObserverToken bills_;
};

}  // namespace twig
