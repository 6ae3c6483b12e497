#include "wallet/TWIGCiWeiQianBaoStore.h"

#include <chrono>

#include "api/TWIGRequest.h"
#include "identity/TWIGChildUser.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "storage/TWIGCache.h"
#include "wallet/TWIGDuiHuanStore.h"

namespace twig {

TWIGCiWeiQianBaoStore::TWIGCiWeiQianBaoStore() {
  if (auto stored = TWIGCache::objectForKey(kLocalStashKey)) {
    if (auto bills = stored->modelArray<TWIGBillModel>()) dataSource_ = std::move(*bills);
  }
}

void TWIGCiWeiQianBaoStore::start() {
  auto self = weak();
  bills_ = port::notifications().addObserver("bills", [self](const Notification&) {
    // Posted on the push channel's thread when a parent's bills event arrives.
    port::mainLoop().runOrPost([self] {
      if (auto store = self.lock()) store->notificationAction();
    });
  });
}

void TWIGCiWeiQianBaoStore::requestKidBonuspointsWithPageNow(int page, PageCompletion completion) {
  const std::string path = "bills/device/" + TWIGChildUser::sharedChildUser().user_childDeviceId();
  const Json parameters = {{"page", page}, {"pageSize", kPageSize}, {"params", "bonuspointsStatistics"}};
  auto self = weak();
  TWIGRequest::sharedRequest().requestWithPath(
      path, parameters, HttpMethod::Get,
      [self, completion](const TWIGRequest::Operation&, const std::optional<Json>& answer) {
        auto store = self.lock();
        if (answer && answer->is_object()) {
          const auto statistics = answer->find("bonuspointsStatistics");
          if (statistics != answer->end() && !statistics->is_null()) {
            if (auto total = TWIGBaseModel::fetchModelOfClass<TWIGTotalModel>(*statistics)) {
              if (store && store->setTotalText) store->setTotalText(*total);
              TWIGCache::setObjectValue(CacheObject::model(*total), TWIGDuiHuanStore::kStatisticsKey);
            }
          }
        }
        std::optional<std::vector<TWIGBillModel>> bills;
        std::optional<TWIGError> error;
        if (answer && answer->is_object()) {
          const auto list = answer->find("bills");
          if (list != answer->end() && list->is_array()) {
            bills.emplace();
            for (const auto& bill : *list) {
              if (auto model = TWIGBillModel::fromAnswer(bill, error)) bills->push_back(std::move(*model));
            }
          }
        }
        if (completion) {
          TWIGCache::setObjectValue(CacheObject(Json(0)), kBillsNumberKey);
          completion(bills, error);
        }
        if (store && store->isShowHUD) TWIGChildUser::sharedChildUser().showSuccessMessage("刷新成功");
        // A wallet closed while it was loading leaves no progress message up.
        if (!store) TWIGChildUser::sharedChildUser().dismissHUD();
      },
      [self, completion](const TWIGRequest::Operation&, const TWIGError& error) {
        if (completion) completion(std::nullopt, error);
        auto store = self.lock();
        if (store && store->isShowHUD) TWIGChildUser::sharedChildUser().showErrorMessage("刷新失败");
        if (!store) TWIGChildUser::sharedChildUser().dismissHUD();
        port::mainLoop().post([self] {
          if (auto later = self.lock()) later->stop();
        });
      });
}

void TWIGCiWeiQianBaoStore::refreshAction() {
  if (refState_) return;
  stareDate_ = port::clock().steadyNow();
  if (tableHeadIconStartWhirl) tableHeadIconStartWhirl();
  if (auto stored = TWIGCache::objectForKey(kLocalStashKey)) {
    auto bills = stored->modelArray<TWIGBillModel>();
    if (bills && !bills->empty()) {
      dataSource_ = std::move(*bills);
      if (reloadData) reloadData();
    }
  }
  pages_ = 1;
  getBonusPointsWithPageNub(1);
}

void TWIGCiWeiQianBaoStore::getBonusPointsWithPageNub(int page) {
  // Set before the request: a network known to be down fails it before it returns, and that
  // completion must find the flag set to clear it.
  refState_ = true;
  auto self = weak();
  requestKidBonuspointsWithPageNow(page, [self, page](const std::optional<std::vector<TWIGBillModel>>& bills,
                                                      const std::optional<TWIGError>&) {
    if (auto store = self.lock()) store->firstPageArrived(page, bills);
  });
}

void TWIGCiWeiQianBaoStore::firstPageArrived(int page,
                                             const std::optional<std::vector<TWIGBillModel>>& bills) {
  if (bills && !bills->empty()) {
    if (isShowNewMag_) btnNewsAction();  // its refresh finds a request under way and does nothing
    haveMoreBills_ = bills->size() >= static_cast<std::size_t>(kPageSize);
    upRefCellState_ = 1;
    dataSource_ = *bills;
    storeLocalStash();
    if (reloadData) reloadData();
    if (!dataSource_.empty() && isShowHUD) {
      TWIGChildUser::sharedChildUser().showSuccessMessage("刷新成功");
      isShowHUD = false;
    }
  }
  if (page == 1) pages_ = 1;
  const auto elapsed = port::clock().steadyNow() - stareDate_;
  if (elapsed >= std::chrono::seconds(3)) {
    stop();
  } else {
    auto self = weak();
    port::mainLoop().postAfter(std::chrono::seconds(2), [self] {
      if (auto store = self.lock()) store->stop();
    });
  }
  refState_ = false;
}

void TWIGCiWeiQianBaoStore::getMore() {
  if (!haveMoreBills_ || refState_) return;
  ++pages_;
  getMoreHouseWorkBonusPointsWithPageNub(pages_);
}

void TWIGCiWeiQianBaoStore::getMoreHouseWorkBonusPointsWithPageNub(int page) {
  refState_ = true;
  auto self = weak();
  requestKidBonuspointsWithPageNow(page, [self](const std::optional<std::vector<TWIGBillModel>>& bills,
                                                const std::optional<TWIGError>& error) {
    if (auto store = self.lock()) store->morePageArrived(bills, error);
  });
}

void TWIGCiWeiQianBaoStore::morePageArrived(const std::optional<std::vector<TWIGBillModel>>& bills,
                                            const std::optional<TWIGError>& error) {
  if (!error) {
    const std::size_t appended = bills ? bills->size() : 0;
    if (bills) dataSource_.insert(dataSource_.end(), bills->begin(), bills->end());
    storeLocalStash();
    haveMoreBills_ = appended >= static_cast<std::size_t>(kPageSize);
    upRefCellState_ = 1;
  }
  refState_ = false;
  if (reloadData) reloadData();
}

void TWIGCiWeiQianBaoStore::storeLocalStash() const {
  const std::size_t kept = std::min<std::size_t>(dataSource_.size(), kPageSize);
  const std::vector<TWIGBillModel> first(dataSource_.begin(), dataSource_.begin() + static_cast<long>(kept));
  TWIGCache::setObjectValue(CacheObject::models(first), kLocalStashKey);
}

void TWIGCiWeiQianBaoStore::notificationAction() {
  if (isShowNewMag_) return;
  isShowNewMag_ = true;
  if (bannerChanged) bannerChanged(true);
}

void TWIGCiWeiQianBaoStore::btnNewsAction() {
  removeBanner();
  refreshAction();
}

void TWIGCiWeiQianBaoStore::removeBanner() {
  if (!isShowNewMag_) return;
  isShowNewMag_ = false;
  if (bannerChanged) bannerChanged(false);
}

void TWIGCiWeiQianBaoStore::stop() {
  if (endRef) endRef();
  if (tableHeadIconEndWhirl) tableHeadIconEndWhirl();
}

}  // namespace twig
