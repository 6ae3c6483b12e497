#pragma once

#include <functional>

#include "frame/ViewModel.h"
#include "wallet/Photo.h"

namespace twig {

// One picture of the strip, pushed over the special reward: the picture, the title "照片详情" and
// the question "是否删除照片？" (in the other mode "添加照片"). Confirming runs `confirmBlock` with
// the picture's index and type and returns; cancelling returns without change. Main loop only.
//
// State: "title", "image" ({"url", "isTakePhone", "width", "height"}), "question", "index",
// "type". Actions: "confirm", "cancel".
class PhotoDetailScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr int kCameraPhoto = 1;
  static constexpr int kLibraryPhoto = 2;

  PhotoDetailScreen(Photo model, int index, int type, bool isPhotosType);

  std::function<void(int index, int type)> confirmBlock;

  void confirm();
  void cancel();

 protected:
  void onLoad() override;

 private:
  void goBack();

  Photo model_;
  int index_;
  int type_;
  bool isPhotosType_;
  bool answered_ = false;
};

}  // namespace twig
