#include "wallet/PhotoViewerScreen.h"

#include <algorithm>

#include "frame/ScreenHost.h"

namespace twig {

const StateShape& PhotoViewerScreen::stateShape() {
  static const StateShape shape{
      {"pages", FieldType::List}, {"index", FieldType::Number}, {"zoom", FieldType::Number}};
  return shape;
}

PhotoViewerScreen::PhotoViewerScreen(std::vector<std::string> addresses, int index)
    : ViewModel("PhotoViewerScreen", stateShape()), addresses_(std::move(addresses)), index_(index) {
  addAction("showPage", [this](const Json& arguments) { showPage(intArgument(arguments, "index")); });
  addAction("doubleTap", [this](const Json&) { doubleTap(); });
  addAction("tap", [this](const Json&) { tap(); });
}

void PhotoViewerScreen::onLoad() {
  setState("statusBarHidden", true);
  setState("pages", addresses_);
  index_ = addresses_.empty() ? 0 : std::clamp(index_, 0, static_cast<int>(addresses_.size()) - 1);
  setState("index", index_);
  setState("zoom", zoom_);
}

void PhotoViewerScreen::showPage(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= addresses_.size()) return;
  index_ = index;
  // Each page starts unzoomed.
  zoom_ = 1;
  setState("index", index_);
  setState("zoom", zoom_);
}

void PhotoViewerScreen::doubleTap() {
  zoom_ = zoom_ == 1 ? 3 : 1;
  setState("zoom", zoom_);
}

void PhotoViewerScreen::tap() {
  if (host() != nullptr && host()->topScreen().get() == this) host()->dismiss(true);
}

}  // namespace twig
