#pragma once

#include "wallet/WalletContext.h"

#include <memory>

#include "frame/ViewModel.h"
#include "wallet/WalletStore.h"

namespace twig {

// The wallet: the points total over the bills, newest first, page by page, with the banner a new
// bill raises. Main loop only.
//
// State: "title" ("刺猬积分"), "headLabel" ("总刺猬币"), "total", "refreshing" (the head's icon
// turns), "rows" (see BillRow), "loadMore" (null, or {"text", "image"}), "empty" (null, or the empty view's
// image, text and button), "banner" (null, or
// {"title": "有新消息，点击阅读", "image": "cwqb_jiantou"}), "pullLimit" (100).
// Actions: "refresh" (the pull), "loadMore" (the load-more row), "reload" (the empty view's
// button), "tapBanner", "openPictures" {"row"} (a bill's picture).
class WalletScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();

  explicit WalletScreen(WalletContext context);
  const std::shared_ptr<WalletStore>& store() const { return store_; }

 protected:
  void onLoad() override;
  void onWillAppear() override;
  void onWillDisappear() override;

 private:
  WalletContext context_;
  void reloadData();
  void tapLoadMore();
  // The bill's pictures, full screen.
  void openPictures(int row);

  std::shared_ptr<WalletStore> store_;
};

}  // namespace twig
