#include "wallet/SpecialRewardScreen.h"

#include <chrono>

#include "api/ApiClient.h"
#include "api/Digest.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/DeviceFacts.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "wallet/BillRequest.h"
#include "wallet/PhotoDetailScreen.h"
#include "wallet/PhotoPickerScreen.h"
#include "wallet/PictureUploads.h"

namespace twig {

const StateShape& SpecialRewardScreen::stateShape() {
  static const StateShape shape{{"sending", FieldType::Flag},          {"text", FieldType::Text},
                                {"placeholderShown", FieldType::Flag}, {"textColor", FieldType::Text},
                                {"strip", FieldType::Record},          {"shake", FieldType::Record}};
  return shape;
}

namespace {
constexpr auto kCloseDelay = std::chrono::milliseconds(800);
constexpr const char* kFailedText = "申请失败";
}  // namespace

SpecialRewardScreen::SpecialRewardScreen(WalletContext context)
    : ViewModel("SpecialRewardScreen", stateShape()), context_(context) {
  addAction("editingBegan", [this](const Json&) { editingBegan(); });
  addAction("setText", [this](const Json& arguments) { setText(Utils::stringValue(arguments, "text")); });
  addAction("editingEnded", [this](const Json&) { editingEnded(); });
  addAction("touchOutside", [this](const Json&) { touchOutside(); });
  addAction("addImages", [this](const Json&) { addImages(); });
  addAction("tapImage", [this](const Json& arguments) { removeImages(intArgument(arguments, "tag")); });
  addAction("send", [this](const Json&) { rightButton(); });
}

void SpecialRewardScreen::onLoad() {
  setTitle("特别奖励");
  setState("rightButtonTitle", "发送");
  setState("sending", false);
  showText();
  showStrip();
}

void SpecialRewardScreen::showText() {
  // The placeholder shows in grey while the text is empty and the child is not typing.
  const bool placeholder = text_.empty() && !editing_;
  setState("text", placeholder ? std::string(kPlaceholder) : text_);
  setState("placeholderShown", placeholder);
  setState("textColor", placeholder ? "grey" : "black");
}

void SpecialRewardScreen::showStrip() {
  setState("strip", strip_.state(context_.services.ports.device.interfaceIdiom() == InterfaceIdiom::Pad));
}

void SpecialRewardScreen::shakeText() {
  setState("shake", Json{{"target", "text"}, {"serial", ++shakes_}});
}

void SpecialRewardScreen::editingBegan() {
  editing_ = true;
  showText();
}

void SpecialRewardScreen::setText(const std::string& text) {
  const auto prefix = Utils::characterPrefix(text, kMaxCharacters);
  text_ = prefix.text;
  if (prefix.cut) shakeText();
  showText();
}

void SpecialRewardScreen::editingEnded() {
  editing_ = false;
  showText();
}

void SpecialRewardScreen::touchOutside() {
  if (host() != nullptr) host()->endEditing();
  editingEnded();
}

void SpecialRewardScreen::addImages() {
  if (sending_ || !strip_.showsAddButton() || host() == nullptr) return;
  auto picker = std::make_shared<PhotoPickerScreen>(context_);
  picker->currentSelectedArray = strip_.fetchImageModel();
  picker->currentTakePhotoArray = strip_.fetchTakePhotoModel();
  auto weak = weakSelf<SpecialRewardScreen>();
  picker->selectseImagesBlock = [weak](std::vector<Photo> models) {
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

void SpecialRewardScreen::removeImages(int tag) {
  if (sending_ || host() == nullptr || tag < 0) return;
  const auto all = strip_.fetchAllImages();
  if (static_cast<std::size_t>(tag) >= all.size()) return;
  const int cameraCount = static_cast<int>(strip_.fetchTakePhotoModel().size());
  const bool camera = tag < cameraCount;
  auto details = std::make_shared<PhotoDetailScreen>(
      all[static_cast<std::size_t>(tag)], camera ? tag : tag - cameraCount,
      camera ? PhotoDetailScreen::kCameraPhoto : PhotoDetailScreen::kLibraryPhoto, false);
  auto weak = weakSelf<SpecialRewardScreen>();
  details->confirmBlock = [weak](int index, int type) {
    if (auto self = weak.lock()) self->removeImageAtIndex(index, type);
  };
  host()->push(details, true);
}

void SpecialRewardScreen::removeImageAtIndex(int index, int type) {
  if (index < 0) return;
  if (type == PhotoDetailScreen::kCameraPhoto) {
    strip_.removeTakePhotoAtIndex(static_cast<std::size_t>(index));
  } else if (type == PhotoDetailScreen::kLibraryPhoto) {
    strip_.removeImageAtIndex(static_cast<std::size_t>(index));
  }
  showStrip();
}

void SpecialRewardScreen::rightButton() {
  if (sending_) return;
  touchOutside();
  auto images = strip_.fetchImages();
  if (images.empty() && text_.empty()) {
    shakeText();
    return;
  }
  sending_ = true;
  setState("sending", true);
  context_.services.host.showOverlay(OverlayKind::Progress, "正在发送");
  // The screen stays alive until its bill is answered, as a started send is never dropped.
  auto self = std::static_pointer_cast<SpecialRewardScreen>(shared_from_this());
  const std::string text = text_;
  PictureUploads::start(
      context_.services, std::move(images),
      [context = context_] { context.services.host.showOverlay(OverlayKind::Warning, "图片上传失败"); },
      [self, text](std::vector<Json> records) { self->faSong(text, records); });
}

Json SpecialRewardScreen::specialRewardRequest(const std::string& childDeviceId, const std::string& text,
                                               const std::vector<Json>& pictures) {
  Json request = Json::object();
  request["childDeviceId"] = childDeviceId;
  request["type"] = kType;
  request["description"] = text;
  request["subjectId"] = kSubjectId;
  request["pictures"] = Json(pictures);
  request["billMd5"] = Digest::MD5(Utils::jsonWithObject(request));
  return request;
}

void SpecialRewardScreen::faSong(const std::string& text, const std::vector<Json>& pictures) {
  sending_ = true;
  setState("sending", true);
  const Json request = specialRewardRequest(context_.child.deviceId(), text, pictures);
  auto self = std::static_pointer_cast<SpecialRewardScreen>(shared_from_this());
  context_.services.api.requestWithPath(
      BillRequest::kPath, request, HttpMethod::Post,
      [self](const ApiClient::Operation& operation, const std::optional<Json>& answer) {
        // Any other status is the service's refusal (a report sent twice, a device no longer
        // bound): the parent never sees the report, so it must not read as sent.
        if (operation->statusCode == 200) {
          self->sendFinished(std::nullopt);
        } else {
          self->sendFinished(BillRequest::errorDescription(answer, kFailedText));
        }
      },
      [self](const ApiClient::Operation&, const Error&) { self->sendFinished(kFailedText); });
}

void SpecialRewardScreen::sendFinished(const std::optional<std::string>& failure) {
  auto& host = context_.services.host;
  if (failure) {
    // The text and the pictures stay, so that the child can send again.
    sending_ = false;
    setState("sending", false);
    host.showOverlay(OverlayKind::Error, *failure);
    return;
  }
  host.showOverlay(OverlayKind::Success, "发送成功");
  auto weak = weakSelf<SpecialRewardScreen>();
  context_.services.ports.mainLoop.postAfter(kCloseDelay, [weak] {
    auto self = weak.lock();
    if (self && self->host() != nullptr && self->host()->topScreen() == self) self->host()->pop(true);
  });
}

}  // namespace twig
