#pragma once

#include "wallet/WalletContext.h"

#include <optional>
#include <string>
#include <vector>

#include "frame/ViewModel.h"
#include "platform/Json.h"
#include "wallet/PhotoStrip.h"

namespace twig {

// The special reward: the child tells the parent what good thing he or she did, in at most 140
// characters and up to eight pictures, and sends it as a bill. Pictures are uploaded first (two at
// a time); the bill follows once every upload has ended and carries the pictures that arrived.
// Main loop only.
//
// State: "title" ("特别奖励"), "rightButtonTitle" ("发送"), "text" (what the text view shows),
// "placeholderShown", "textColor" ("grey" for the placeholder, else
// "black"), "shake" ({"target": "text", "serial"}), "strip" (see PhotoStrip::state),
// "sending". Actions: "editingBegan", "setText" {"text"}, "editingEnded", "touchOutside",
// "addImages", "tapImage" {"tag"}, "send".
class SpecialRewardScreen final : public ViewModel {
 public:
  // Every field the screen shows.
  static const StateShape& stateShape();
  static constexpr std::size_t kMaxCharacters = 140;
  static constexpr const char* kPlaceholder = "做了哪些...";
  static constexpr int kSubjectId = 10000;
  static constexpr int kType = 1;

  explicit SpecialRewardScreen(WalletContext context);

  void editingBegan();
  void setText(const std::string& text);
  void editingEnded();
  void touchOutside();
  // The strip's add button: opens the picker with the strip's pictures.
  void addImages();
  // A thumbnail (its tag is its place in the display order): opens it in the details screen.
  void removeImages(int tag);
  // Called back from the details screen. `type` 1 a camera photo, 2 a library photo.
  void removeImageAtIndex(int index, int type);
  void rightButton();
  // Sends the bill with the text and the uploaded pictures' records.
  void faSong(const std::string& text, const std::vector<Json>& pictures);

  PhotoStrip& strip() { return strip_; }
  const std::string& text() const { return text_; }
  // The bill as it is sent: "childDeviceId", "type", "description", "subjectId", "pictures", then
  // "billMd5" over the pretty-printed JSON of the first five.
  static Json specialRewardRequest(const std::string& childDeviceId, const std::string& text,
                                   const std::vector<Json>& pictures);

 protected:
  void onLoad() override;

 private:
  WalletContext context_;
  void showText();
  void showStrip();
  void shakeText();
  // Nothing: the bill was taken; else what went wrong, as shown to the child.
  void sendFinished(const std::optional<std::string>& failure);

  std::string text_;
  bool editing_ = false;
  bool sending_ = false;
  int shakes_ = 0;
  PhotoStrip strip_;
};

}  // namespace twig
