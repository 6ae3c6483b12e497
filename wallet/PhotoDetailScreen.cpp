#include "wallet/PhotoDetailScreen.h"

#include "frame/ScreenHost.h"

namespace twig {

const StateShape& PhotoDetailScreen::stateShape() {
  static const StateShape shape{{"image", FieldType::Record},
                                {"question", FieldType::Text},
                                {"index", FieldType::Number},
                                {"type", FieldType::Number}};
  return shape;
}

PhotoDetailScreen::PhotoDetailScreen(Photo model, int index, int type, bool isPhotosType)
    : ViewModel("PhotoDetailScreen", stateShape()),
      model_(std::move(model)),
      index_(index),
      type_(type),
      isPhotosType_(isPhotosType) {
  addAction("confirm", [this](const Json&) { confirm(); });
  addAction("cancel", [this](const Json&) { cancel(); });
}

void PhotoDetailScreen::onLoad() {
  setTitle("照片详情");
  setState("image", model_.displayState());
  setState("question", isPhotosType_ ? "添加照片" : "是否删除照片？");
  setState("index", index_);
  setState("type", type_);
}

void PhotoDetailScreen::confirm() {
  // One answer per screen: a second tap while it goes away must not remove a second picture.
  if (answered_) return;
  answered_ = true;
  if (confirmBlock) confirmBlock(index_, type_);
  goBack();
}

void PhotoDetailScreen::cancel() {
  if (answered_) return;
  answered_ = true;
  goBack();
}

void PhotoDetailScreen::goBack() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->pop(true);
}

}  // namespace twig
