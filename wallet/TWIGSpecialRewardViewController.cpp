#include "wallet/TWIGSpecialRewardViewController.h"

#include <chrono>

#include "api/TWIGDigest.h"
#include "api/TWIGRequest.h"
#include "api/TWIGUtils.h"
#include "frame/ScreenHost.h"
#include "identity/TWIGChildUser.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "wallet/TWIGBillsRequest.h"
#include "wallet/TWIGPhotoDetailsViewController.h"
#include "wallet/TWIGPhotoViewController.h"
#include "wallet/TWIGPictureUploads.h"

namespace twig {

namespace {
constexpr auto kCloseDelay = std::chrono::milliseconds(800);
constexpr const char* kFailedText = "申请失败";
}

TWIGSpecialRewardViewController::TWIGSpecialRewardViewController()
    : TWIGBaseViewController("TWIGSpecialRewardViewController") {
  addAction("editingBegan", [this](const Json&) { editingBegan(); });
  addAction("setText", [this](const Json& arguments) { setText(TWIGUtils::stringValue(arguments, "text")); });
  addAction("editingEnded", [this](const Json&) { editingEnded(); });
  addAction("touchOutside", [this](const Json&) { touchOutside(); });
  addAction("addImages", [this](const Json&) { addImages(); });
  addAction("tapImage", [this](const Json& arguments) { removeImages(intArgument(arguments, "tag")); });
  addAction("send", [this](const Json&) { rightButton(); });
}

void TWIGSpecialRewardViewController::viewDidLoad() {
  setTitle("特别奖励");
  setState("rightButtonTitle", "发送");
  setState("placeholder", kPlaceholder);
  setState("sending", false);
  showText();
  showStrip();
}

void TWIGSpecialRewardViewController::showText() {
  // The placeholder shows in grey while the text is empty and the child is not typing.
  const bool placeholder = text_.empty() && !editing_;
  setState("text", placeholder ? std::string(kPlaceholder) : text_);
  setState("placeholderShown", placeholder);
  setState("textColor", placeholder ? "grey" : "black");
}

void TWIGSpecialRewardViewController::showStrip() {
  setState("strip", strip_.state(port::device().interfaceIdiom() == InterfaceIdiom::Pad));
}

void TWIGSpecialRewardViewController::shakeText() {
  setState("shake", Json{{"target", "text"}, {"serial", ++shakes_}});
}

void TWIGSpecialRewardViewController::editingBegan() {
  editing_ = true;
  showText();
}

void TWIGSpecialRewardViewController::setText(const std::string& text) {
  const auto prefix = TWIGUtils::characterPrefix(text, kMaxCharacters);
  text_ = prefix.text;
  if (prefix.cut) shakeText();
  showText();
}

void TWIGSpecialRewardViewController::editingEnded() {
  editing_ = false;
  showText();
}

void TWIGSpecialRewardViewController::touchOutside() {
  if (host() != nullptr) host()->endEditing();
  editingEnded();
}

void TWIGSpecialRewardViewController::addImages() {
  if (sending_ || !strip_.showsAddButton() || host() == nullptr) return;
  auto picker = std::make_shared<TWIGPhotoViewController>();
  picker->currentSelectedArray = strip_.fetchImageModel();
  picker->currentTakePhotoArray = strip_.fetchTakePhotoModel();
  auto weak = weakSelf<TWIGSpecialRewardViewController>();
  picker->selectseImagesBlock = [weak](std::vector<TWIGPhotoModel> models) {
    if (auto self = weak.lock()) {
      self->strip_.updateImagesArray(std::move(models));
      self->showStrip();
    }
  };
  picker->takePhotoBlock = [weak](ImageRef picture) {
    if (auto self = weak.lock()) {
      self->strip_.addTakePhone(std::move(picture));
      self->showStrip();
    }
  };
  host()->present(picker, true);
}

void TWIGSpecialRewardViewController::removeImages(int tag) {
  if (sending_ || host() == nullptr || tag < 0) return;
  const auto all = strip_.fetchAllImages();
  if (static_cast<std::size_t>(tag) >= all.size()) return;
  const int cameraCount = static_cast<int>(strip_.fetchTakePhotoModel().size());
  const bool camera = tag < cameraCount;
  auto details = std::make_shared<TWIGPhotoDetailsViewController>(
      all[static_cast<std::size_t>(tag)], camera ? tag : tag - cameraCount,
      camera ? TWIGPhotoDetailsViewController::kCameraPhoto : TWIGPhotoDetailsViewController::kLibraryPhoto,
      false);
  auto weak = weakSelf<TWIGSpecialRewardViewController>();
  details->confirmBlock = [weak](int index, int type) {
    if (auto self = weak.lock()) self->removeImageAtIndex(index, type);
  };
  host()->push(details, true);
}

void TWIGSpecialRewardViewController::removeImageAtIndex(int index, int type) {
  if (index < 0) return;
  if (type == TWIGPhotoDetailsViewController::kCameraPhoto) {
    strip_.removeTakePhotoAtIndex(static_cast<std::size_t>(index));
  } else if (type == TWIGPhotoDetailsViewController::kLibraryPhoto) {
    strip_.removeImageAtIndex(static_cast<std::size_t>(index));
  }
  showStrip();
}

void TWIGSpecialRewardViewController::rightButton() {
  if (sending_) return;
  touchOutside();
  auto images = strip_.fetchImages();
  if (images.empty() && text_.empty()) {
    shakeText();
    return;
  }
  sending_ = true;
  setState("sending", true);
  TWIGChildUser::sharedChildUser().showProgressMessage("正在发送");
  // The screen stays alive until its bill is answered, as a started send is never dropped.
  auto self = std::static_pointer_cast<TWIGSpecialRewardViewController>(shared_from_this());
  const std::string text = text_;
  TWIGPictureUploads::start(
      std::move(images), [] { TWIGChildUser::sharedChildUser().showWarningMessage("图片上传失败"); },
      [self, text](std::vector<Json> records) { self->faSong(text, records); });
}

Json TWIGSpecialRewardViewController::specialRewardRequest(const std::string& childDeviceId,
                                                           const std::string& text,
                                                           const std::vector<Json>& pictures) {
  Json request = Json::object();
  request["childDeviceId"] = childDeviceId;
  request["type"] = kType;
  request["description"] = text;
  request["subjectId"] = kSubjectId;
  request["pictures"] = Json(pictures);
  request["billMd5"] = TWIGDigest::MD5(TWIGUtils::jsonWithObject(request));
  return request;
}

void TWIGSpecialRewardViewController::faSong(const std::string& text, const std::vector<Json>& pictures) {
  sending_ = true;
  setState("sending", true);
  const Json request =
      specialRewardRequest(TWIGChildUser::sharedChildUser().user_childDeviceId(), text, pictures);
  auto self = std::static_pointer_cast<TWIGSpecialRewardViewController>(shared_from_this());
  TWIGRequest::sharedRequest().requestWithPath(
      TWIGBillsRequest::kPath, request, HttpMethod::Post,
      [self](const TWIGRequest::Operation& operation, const std::optional<Json>& answer) {
        // Any other status is the service's refusal (a report sent twice, a device no longer
        // bound): the parent never sees the report, so it must not read as sent.
        if (operation->statusCode == 200) {
          self->sendFinished(std::nullopt);
        } else {
          self->sendFinished(TWIGBillsRequest::errorDescription(answer, kFailedText));
        }
      },
      [self](const TWIGRequest::Operation&, const TWIGError&) { self->sendFinished(kFailedText); });
}

void TWIGSpecialRewardViewController::sendFinished(const std::optional<std::string>& failure) {
  auto& user = TWIGChildUser::sharedChildUser();
  if (failure) {
    // The text and the pictures stay, so that the child can send again.
    sending_ = false;
    setState("sending", false);
    user.showErrorMessage(*failure);
    return;
  }
  user.showSuccessMessage("发送成功");
  auto weak = weakSelf<TWIGSpecialRewardViewController>();
  port::mainLoop().postAfter(kCloseDelay, [weak] {
    auto self = weak.lock();
    if (self && self->host() != nullptr && self->host()->topScreen() == self) self->host()->pop(true);
  });
}

}  // namespace twig
