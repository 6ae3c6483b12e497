#include "wallet/PhotoPickerScreen.h"

#include <chrono>

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/Camera.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "wallet/PhotoStore.h"

namespace twig {

const StateShape& PhotoPickerScreen::stateShape() {
  static const StateShape shape{{"cameraCell", FieldType::Record},
                                {"photos", FieldType::List},
                                {"accessLabel", FieldType::Text},
                                {"accessLabelHidden", FieldType::Flag},
                                {"loading", FieldType::Flag}};
  return shape;
}

namespace {
constexpr auto kCloseDelay = std::chrono::milliseconds(2000);
}

PhotoPickerScreen::PhotoPickerScreen(WalletContext context)
    : ViewModel("PhotoPickerScreen", stateShape()), context_(context) {
  addAction("tapCamera", [this](const Json&) { tapCamera(); });
  addAction("tapPhoto", [this](const Json& arguments) { tapPhoto(intArgument(arguments, "index")); });
  addAction("confirm", [this](const Json&) { confirm(); });
  addAction("cancel", [this](const Json&) { cancel(); });
}

void PhotoPickerScreen::onLoad() {
  setTitle("相册");
  setState("cameraCell", Json{{"image", "xiangji"}, {"count", currentTakePhotoArray.size()}});
  setState("photos", Json::array());
  setState("accessLabel", Error::kPhotoAccessRefused);
  setState("accessLabelHidden", true);
  updateRightButton();
  loading_ = true;
  setState("loading", true);
  context_.services.host.showOverlay(OverlayKind::Progress, "正在获取照片");
  auto weak = weakSelf<PhotoPickerScreen>();
  PhotoStore::fetchPhotosWithSelectedImages(
      context_.services.ports, currentSelectedArray,
      [weak, context = context_](const std::optional<Error>& error, std::vector<Photo> photos) {
        auto self = weak.lock();
        if (!self) {
          context.services.host.dismissOverlay();  // the picker closed before the photos came
          return;
        }
        self->loading_ = false;
        self->setState("loading", false);
        context.services.host.dismissOverlay();
        if (error) {
          self->setState("accessLabelHidden", false);
          return;
        }
        self->photos_ = std::move(photos);
        self->showPhotos();
        self->updateRightButton();
      });
}

void PhotoPickerScreen::showPhotos() {
  Json cells = Json::array();
  for (const auto& photo : photos_)
    cells.push_back(Json{{"url", photo.url.value_or("")}, {"selected", photo.isHidden}});
  setState("photos", std::move(cells));
}

std::size_t PhotoPickerScreen::selectedCount() const {
  std::size_t count = 0;
  for (const auto& photo : photos_) count += photo.isHidden ? 1 : 0;
  return count;
}

void PhotoPickerScreen::updateRightButton() {
  const std::size_t count = selectedCount() + currentTakePhotoArray.size();
  setState("rightButtonTitle", count > 0 ? "确定(" + std::to_string(count) + ")" : std::string("确定"));
}

void PhotoPickerScreen::tapPhoto(int index) {
  if (processing_ || finished_ || index < 0 || static_cast<std::size_t>(index) >= photos_.size()) return;
  Photo& photo = photos_[static_cast<std::size_t>(index)];
  if (!photo.isHidden && selectedCount() + currentTakePhotoArray.size() >= kMaxImages) {
    context_.services.host.showOverlay(OverlayKind::Warning, "不可以超过8张哦~");
    return;
  }
  photo.isHidden = !photo.isHidden;
  showPhotos();
  updateRightButton();
}

void PhotoPickerScreen::tapCamera() {
  if (processing_ || finished_) return;
  if (selectedCount() + currentTakePhotoArray.size() >= kMaxImages) {
    context_.services.host.showOverlay(OverlayKind::Warning, "不可以超过8张哦~");
    return;
  }
  Camera& camera = context_.services.ports.camera;
  if (!camera.isAvailable()) return;
  auto weak = weakSelf<PhotoPickerScreen>();
  camera.takePicture([weak](ImageRef picture) {
    auto self = weak.lock();
    // Cancelling only closes the camera; a picture also closes the picker.
    if (!self || !picture || self->finished_) return;
    self->finished_ = true;
    if (self->takePhotoBlock) self->takePhotoBlock(std::move(picture));
    self->close();
  });
}

void PhotoPickerScreen::confirm() {
  if (processing_ || loading_ || finished_) return;
  const std::size_t selected = selectedCount();
  if (selected == 0) {
    // Nothing chosen from the library (camera photos alone need no loading): the strip keeps its
    // camera photos and drops any library photo the child unticked here.
    finished_ = true;
    if (selectseImagesBlock) selectseImagesBlock({});
    close();
    return;
  }
  processing_ = true;
  ++batch_;
  result_.assign(selected, Photo());
  arrived_.assign(selected, false);
  arrivedCount_ = 0;
  context_.services.host.showOverlay(OverlayKind::Progress, "正在处理");
  auto weak = weakSelf<PhotoPickerScreen>();
  std::size_t slot = 0;
  for (const auto& photo : photos_) {
    if (!photo.isHidden) continue;
    result_[slot] = photo;
    PhotoStore::fetchfullResolutionImageWithURL(
        context_.services.ports, photo.url.value_or(""),
        [weak, batch = batch_, slot, context = context_](const std::optional<Error>& error, ImageRef image) {
          auto self = weak.lock();
          if (!self) {
            context.services.host.dismissOverlay();
            return;
          }
          if (batch != self->batch_ || !self->processing_) return;
          if (error) {
            // The picker stays open with its selection, so the child can try again.
            self->processing_ = false;
            context.services.host.showOverlay(OverlayKind::Error, "处理失败，请重试");
            return;
          }
          self->collected(batch, slot, std::move(image));
        });
    ++slot;
  }
}

void PhotoPickerScreen::collected(std::uint64_t batch, std::size_t slot, ImageRef image) {
  if (arrived_[slot]) return;
  arrived_[slot] = true;
  result_[slot].thumbnail = std::move(image);
  if (++arrivedCount_ < result_.size()) return;
  processing_ = false;
  finished_ = true;
  context_.services.host.dismissOverlay();
  if (selectseImagesBlock) selectseImagesBlock(result_);
  auto weak = weakSelf<PhotoPickerScreen>();
  context_.services.ports.mainLoop.postAfter(kCloseDelay, [weak, batch] {
    if (auto self = weak.lock(); self && self->batch_ == batch) self->close();
  });
}

void PhotoPickerScreen::cancel() {
  if (processing_) return;
  close();
}

void PhotoPickerScreen::close() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->dismiss(true);
}

}  // namespace twig
