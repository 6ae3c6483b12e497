#include "wallet/WalletScreen.h"

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/DeviceFacts.h"
#include "platform/Ports.h"
#include "wallet/BillRow.h"
#include "wallet/PhotoViewerScreen.h"

namespace twig {

const StateShape& WalletScreen::stateShape() {
  static const StateShape shape{{"headLabel", FieldType::Text},        {"total", FieldType::Text},
                                {"refreshing", FieldType::Flag},       {"pullLimit", FieldType::Number},
                                {"banner", FieldType::Record, true},   {"rows", FieldType::List},
                                {"loadMore", FieldType::Record, true}, {"empty", FieldType::Record, true}};
  return shape;
}

WalletScreen::WalletScreen(WalletContext context)
    : ViewModel("WalletScreen", stateShape()), context_(context) {
  addAction("refresh", [this](const Json&) { store_->refreshAction(); });
  addAction("loadMore", [this](const Json&) { tapLoadMore(); });
  addAction("reload", [this](const Json&) { store_->getBonusPointsWithPageNub(store_->pages()); });
  addAction("openPictures", [this](const Json& arguments) { openPictures(intArgument(arguments, "row")); });
  addAction("tapBanner", [this](const Json&) {
    if (store_->isShowNewMag()) store_->btnNewsAction();
  });
}

void WalletScreen::onLoad() {
  setTitle("刺猬积分");
  setState("headLabel", "总刺猬币");
  setState("total", "0");
  setState("refreshing", false);
  setState("pullLimit", 100);
  setState("banner", nullptr);
  store_ = std::make_shared<WalletStore>(context_);
  store_->start();
  // The store lives no longer than this screen, so its callbacks may hold the screen plainly.
  store_->reloadData = [this] { reloadData(); };
  store_->setTotalText = [this](const PointsTotal& total) {
    setState("total", PointsTotal::pointsText(total.total.value_or(Json(0))));
  };
  store_->tableHeadIconStartWhirl = [this] { setState("refreshing", true); };
  store_->tableHeadIconEndWhirl = [this] { setState("refreshing", false); };
  store_->bannerChanged = [this](bool shown) {
    setState("banner",
             shown ? Json{{"title", "有新消息，点击阅读"}, {"image", "cwqb_jiantou"}} : Json(nullptr));
  };
  reloadData();
  if (store_->dataSource().empty()) {
    context_.services.host.showOverlay(OverlayKind::Progress, "正在加载数据");
    store_->isShowHUD = true;
  }
}

void WalletScreen::onWillAppear() {
  store_->refreshAction();
}

void WalletScreen::onWillDisappear() {
  store_->removeBanner();
}

void WalletScreen::openPictures(int row) {
  const auto& bills = store_->dataSource();
  if (row < 0 || static_cast<std::size_t>(row) >= bills.size() || host() == nullptr) return;
  std::vector<std::string> addresses;
  for (const auto& picture : bills[static_cast<std::size_t>(row)].pictureList())
    addresses.push_back(Utils::webAddress(picture.fileUrl.value_or("")));
  if (addresses.empty()) return;
  host()->present(std::make_shared<PhotoViewerScreen>(std::move(addresses), 0), true);
}

void WalletScreen::tapLoadMore() {
  if (!store_->haveMoreBills() || store_->refState()) return;
  setState("loadMore", Json{{"text", "正在加载中..."}, {"image", nullptr}});
  store_->getMore();
}

void WalletScreen::reloadData() {
  Json rows = Json::array();
  for (const auto& bill : store_->dataSource())
    rows.push_back(BillRow::rowState(bill, context_.services.ports.clock));
  setState("rows", std::move(rows));
  if (store_->upRefCellState() == 1) {
    const bool more = store_->haveMoreBills();
    setState("loadMore", Json{{"text", more ? "点击加载更多" : "木有更多了~"},
                              {"image", more ? Json(nullptr) : Json("cwqb_jiazai2")}});
  } else {
    setState("loadMore", nullptr);
  }
  const bool empty = store_->dataSource().empty() && store_->upRefCellState() == 0;
  setState("empty", empty ? Json{{"image", "jiazai"},
                                 {"text", "咦？数据加载失败了\n请检查一下您的网络,重新加载吧"},
                                 {"button", "点击重新加载"}}
                          : Json(nullptr));
}

}  // namespace twig
