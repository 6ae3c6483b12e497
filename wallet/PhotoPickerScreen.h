#pragma once

#include "wallet/WalletContext.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "frame/ViewModel.h"
#include "wallet/Photo.h"

namespace twig {

// The photo picker of a special reward, shown modally: the camera cell first, then the saved
// photos. Library photos plus camera photos never exceed eight. Confirming loads the screen-sized
// version of each selected photo and hands them to `selectseImagesBlock`; a camera picture goes to
// `takePhotoBlock`. Main loop only.
//
// State: "title" ("相册"), "loading" (while the photos are listed), "cameraCell" ({"image": "xiangji",
// "count"}), "photos" ([{"url", "selected"}]), "accessLabel" ("请允许刺猬家访问您的照片"),
// "accessLabelHidden", "rightButtonTitle"
// ("确定" or "确定(n)"). Actions: "tapCamera", "tapPhoto" {"index"}, "confirm", "cancel".
class PhotoPickerScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr std::size_t kMaxImages = 8;

  explicit PhotoPickerScreen(WalletContext context);

  // Inputs, set before the screen loads: the strip's library and camera photos.
  std::vector<Photo> currentSelectedArray;
  std::vector<Photo> currentTakePhotoArray;
  // Outputs.
  std::function<void(std::vector<Photo> models)> selectseImagesBlock;
  std::function<void(ImageRef picture)> takePhotoBlock;

  void tapCamera();
  void tapPhoto(int index);
  void confirm();
  void cancel();
  const std::vector<Photo>& photos() const { return photos_; }

 protected:
  void onLoad() override;

 private:
  WalletContext context_;
  void showPhotos();
  void updateRightButton();
  std::size_t selectedCount() const;
  void close();
  void collected(std::uint64_t batch, std::size_t slot, ImageRef image);

  std::vector<Photo> photos_;
  bool loading_ = false;
  bool processing_ = false;
  // Handed its result back; waits only to close.
  bool finished_ = false;
  // Each confirm starts a batch; answers of an earlier, failed batch are dropped.
  std::uint64_t batch_ = 0;
  std::vector<Photo> result_;
  std::vector<bool> arrived_;
  std::size_t arrivedCount_ = 0;
};

}  // namespace twig
