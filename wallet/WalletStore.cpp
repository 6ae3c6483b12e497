#include "wallet/WalletStore.h"

#include "messaging/RemoteEvents.h"

#include <chrono>

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "storage/ObjectCache.h"
#include "storage/StoredNames.h"
#include "wallet/ExchangeStore.h"

namespace twig {

WalletStore::WalletStore(WalletContext context) : context_(context) {
  if (auto stored = context_.services.cache.objectForKey(stored::kBillsPage)) {
    if (auto bills = stored->modelArray<Bill>()) dataSource_ = std::move(*bills);
  }
}

void WalletStore::start() {
  auto self = weak();
  bills_ = context_.remote.bills.connect([self, &loop = context_.services.ports.mainLoop] {
    // Told on the push channel's thread when a parent's bills event arrives.
    loop.runOrPost([self] {
      if (auto store = self.lock()) store->notificationAction();
    });
  });
}

void WalletStore::requestKidBonuspointsWithPageNow(int page, PageCompletion completion) {
  const std::string path = "bills/device/" + context_.child.deviceId();
  const Json parameters = {{"page", page}, {"pageSize", kPageSize}, {"params", "bonuspointsStatistics"}};
  auto self = weak();
  context_.services.api.requestWithPath(
      path, parameters, HttpMethod::Get,
      [self, completion, context = context_](const ApiClient::Operation&, const std::optional<Json>& answer) {
        auto store = self.lock();
        if (answer && answer->is_object()) {
          const auto statistics = answer->find("bonuspointsStatistics");
          if (statistics != answer->end() && !statistics->is_null()) {
            if (auto total = Model::fetchModelOfClass<PointsTotal>(*statistics)) {
              if (store && store->setTotalText) store->setTotalText(*total);
              context.services.cache.setObjectValue(CacheObject::model(*total), stored::kPointsTotal);
            }
          }
        }
        std::optional<std::vector<Bill>> bills;
        std::optional<Error> error;
        if (answer && answer->is_object()) {
          const auto list = answer->find("bills");
          if (list != answer->end() && list->is_array()) {
            bills.emplace();
            for (const auto& bill : *list) {
              if (auto model = Bill::fromAnswer(bill, error)) bills->push_back(std::move(*model));
            }
          }
        }
        if (completion) {
          context.services.cache.setObjectValue(CacheObject(Json(0)), stored::kNewBills);
          completion(bills, error);
        }
        if (store && store->isShowHUD) context.services.host.showOverlay(OverlayKind::Success, "刷新成功");
        // A wallet closed while it was loading leaves no progress message up.
        if (!store) context.services.host.dismissOverlay();
      },
      [self, completion, context = context_](const ApiClient::Operation&, const Error& error) {
        if (completion) completion(std::nullopt, error);
        auto store = self.lock();
        if (store && store->isShowHUD) context.services.host.showOverlay(OverlayKind::Error, "刷新失败");
        if (!store) context.services.host.dismissOverlay();
        context.services.ports.mainLoop.post([self, context = context] {
          if (auto later = self.lock()) later->stop();
        });
      });
}

void WalletStore::refreshAction() {
  if (refState_) return;
  stareDate_ = context_.services.ports.clock.steadyNow();
  if (tableHeadIconStartWhirl) tableHeadIconStartWhirl();
  if (auto stored = context_.services.cache.objectForKey(stored::kBillsPage)) {
    auto bills = stored->modelArray<Bill>();
    if (bills && !bills->empty()) {
      dataSource_ = std::move(*bills);
      if (reloadData) reloadData();
    }
  }
  pages_ = 1;
  getBonusPointsWithPageNub(1);
}

void WalletStore::getBonusPointsWithPageNub(int page) {
  // Set before the request: a network known to be down fails it before it returns, and that
  // completion must find the flag set to clear it.
  refState_ = true;
  auto self = weak();
  requestKidBonuspointsWithPageNow(
      page, [self, page](const std::optional<std::vector<Bill>>& bills, const std::optional<Error>&) {
        if (auto store = self.lock()) store->firstPageArrived(page, bills);
      });
}

void WalletStore::firstPageArrived(int page, const std::optional<std::vector<Bill>>& bills) {
  if (bills && !bills->empty()) {
    if (isShowNewMag_) btnNewsAction();  // its refresh finds a request under way and does nothing
    haveMoreBills_ = bills->size() >= static_cast<std::size_t>(kPageSize);
    upRefCellState_ = 1;
    dataSource_ = *bills;
    storeLocalStash();
    if (reloadData) reloadData();
    if (!dataSource_.empty() && isShowHUD) {
      context_.services.host.showOverlay(OverlayKind::Success, "刷新成功");
      isShowHUD = false;
    }
  }
  if (page == 1) pages_ = 1;
  const auto elapsed = context_.services.ports.clock.steadyNow() - stareDate_;
  if (elapsed >= std::chrono::seconds(3)) {
    stop();
  } else {
    auto self = weak();
    context_.services.ports.mainLoop.postAfter(std::chrono::seconds(2), [self] {
      if (auto store = self.lock()) store->stop();
    });
  }
  refState_ = false;
}

void WalletStore::getMore() {
  if (!haveMoreBills_ || refState_) return;
  ++pages_;
  getMoreHouseWorkBonusPointsWithPageNub(pages_);
}

void WalletStore::getMoreHouseWorkBonusPointsWithPageNub(int page) {
  refState_ = true;
  auto self = weak();
  requestKidBonuspointsWithPageNow(
      page, [self](const std::optional<std::vector<Bill>>& bills, const std::optional<Error>& error) {
        if (auto store = self.lock()) store->morePageArrived(bills, error);
      });
}

void WalletStore::morePageArrived(const std::optional<std::vector<Bill>>& bills,
                                  const std::optional<Error>& error) {
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

void WalletStore::storeLocalStash() const {
  const std::size_t kept = std::min<std::size_t>(dataSource_.size(), kPageSize);
  const std::vector<Bill> first(dataSource_.begin(), dataSource_.begin() + static_cast<long>(kept));
  context_.services.cache.setObjectValue(CacheObject::models(first), stored::kBillsPage);
}

void WalletStore::notificationAction() {
  if (isShowNewMag_) return;
  isShowNewMag_ = true;
  if (bannerChanged) bannerChanged(true);
}

void WalletStore::btnNewsAction() {
  removeBanner();
  refreshAction();
}

void WalletStore::removeBanner() {
  if (!isShowNewMag_) return;
  isShowNewMag_ = false;
  if (bannerChanged) bannerChanged(false);
}

void WalletStore::stop() {
  if (tableHeadIconEndWhirl) tableHeadIconEndWhirl();
}

}  // namespace twig
