#include "frame/StackScreenHost.h"

#include "frame/ViewModel.h"

namespace twig {

void StackScreenHost::showWindow() {
  render(LineKind::Window, "window");
}

void StackScreenHost::listen(const ScreenPtr& screen) {
  std::weak_ptr<ViewModel> weak = screen;
  screen->setChangeListener([this, weak](const std::string& key, const Json& value) {
    if (auto shown = weak.lock()) stateChanged(shown, key, value);
  });
}

void StackScreenHost::stateChanged(const ScreenPtr& screen, const std::string& key, const Json& value) {
  render(LineKind::State, "state " + screen->screenName() + " " + key + "=" +
                              value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void StackScreenHost::show(const ScreenPtr& screen) {
  screen->attach(this);
  listen(screen);
  screen->loadViewIfNeeded();
  // Under the cover a screen is made but not seen: it appears when the cover goes.
  if (!cover_ || screen == cover_) screen->onAppear(analytics_);
}

void StackScreenHost::hide(const ScreenPtr& screen) {
  screen->onDisappear(analytics_);
}

void StackScreenHost::setRoot(ScreenPtr screen) {
  if (!screen) return;
  const ScreenPtr previous = topScreen();
  auto oldStack = std::move(stack_);
  auto oldModals = std::move(modals_);
  stack_ = {screen};
  modals_.clear();
  if (previous && !cover_) hide(previous);
  render(LineKind::Screen, "screen root " + screen->screenName());
  show(screen);
  for (auto& old : oldStack) {
    if (old != screen) old->setChangeListener(nullptr);
  }
  for (auto& old : oldModals) old->setChangeListener(nullptr);
}

void StackScreenHost::push(ScreenPtr screen, bool) {
  if (!screen) return;
  if (stack_.empty()) {
    setRoot(std::move(screen));
    return;
  }
  const ScreenPtr previous = topScreen();
  stack_.push_back(screen);
  if (modals_.empty() && !cover_ && previous) hide(previous);
  render(LineKind::Screen, "screen push " + screen->screenName());
  show(screen);
}

void StackScreenHost::pop(bool) {
  if (stack_.size() < 2) return;
  const ScreenPtr leaving = stack_.back();
  stack_.pop_back();
  const bool seen = modals_.empty() && !cover_;
  if (seen) hide(leaving);
  render(LineKind::Screen, "screen pop " + leaving->screenName());
  leaving->setChangeListener(nullptr);
  if (seen) stack_.back()->onAppear(analytics_);
}

void StackScreenHost::popToRoot(bool) {
  if (stack_.size() < 2) return;
  const ScreenPtr leaving = stack_.back();
  const bool seen = modals_.empty() && !cover_;
  if (seen) hide(leaving);
  for (std::size_t i = 1; i < stack_.size(); ++i) stack_[i]->setChangeListener(nullptr);
  stack_.resize(1);
  render(LineKind::Screen, "screen popToRoot " + stack_.front()->screenName());
  if (seen) stack_.front()->onAppear(analytics_);
}

void StackScreenHost::present(ScreenPtr screen, bool) {
  if (!screen) return;
  const ScreenPtr previous = topScreen();
  modals_.push_back(screen);
  if (previous && !cover_) hide(previous);
  render(LineKind::Screen, "screen present " + screen->screenName());
  show(screen);
}

void StackScreenHost::dismiss(bool) {
  if (modals_.empty()) return;
  const ScreenPtr leaving = modals_.back();
  modals_.pop_back();
  if (!cover_) hide(leaving);
  render(LineKind::Screen, "screen dismiss " + leaving->screenName());
  leaving->setChangeListener(nullptr);
  if (auto top = topScreen(); top && !cover_) top->onAppear(analytics_);
}

void StackScreenHost::presentCover(ScreenPtr screen) {
  if (!screen || screen == cover_) return;
  if (cover_) {
    hide(cover_);
    render(LineKind::Screen, "screen dismiss " + cover_->screenName());
    cover_->setChangeListener(nullptr);
  } else if (auto top = topScreen()) {
    hide(top);
  }
  cover_ = screen;
  // Told as the presentation of a modal screen, which is what the cover looks like from outside.
  render(LineKind::Screen, "screen present " + screen->screenName());
  show(screen);
}

void StackScreenHost::dismissCover(const ViewModel* screen) {
  if (!cover_ || cover_.get() != screen) return;
  const ScreenPtr leaving = std::move(cover_);
  cover_.reset();
  hide(leaving);
  render(LineKind::Screen, "screen dismiss " + leaving->screenName());
  leaving->setChangeListener(nullptr);
  if (auto top = topScreen()) top->onAppear(analytics_);
}

ScreenPtr StackScreenHost::topScreen() const {
  if (!modals_.empty()) return modals_.back();
  if (!stack_.empty()) return stack_.back();
  return nullptr;
}

ScreenPtr StackScreenHost::rootScreen() const {
  return stack_.empty() ? nullptr : stack_.front();
}

void StackScreenHost::showOverlay(OverlayKind kind, const std::string& text) {
  render(LineKind::Overlay, std::string("overlay ") + overlayKindName(kind) + " " + text);
}

void StackScreenHost::dismissOverlay() {
  render(LineKind::Overlay, "overlay dismiss");
}

void StackScreenHost::showNoNetworkBar(std::function<void()> onClick) {
  barAction_ = std::move(onClick);
  if (barShown_) return;
  barShown_ = true;
  render(LineKind::Bar, "bar show");
}

void StackScreenHost::hideNoNetworkBar() {
  if (!barShown_) return;
  barShown_ = false;
  render(LineKind::Bar, "bar hide");
}

bool StackScreenHost::tapNoNetworkBar() {
  if (!barShown_ || !barAction_) return false;
  auto action = barAction_;
  action();
  return true;
}

void StackScreenHost::showAlert(const AlertSpec& alert, std::function<void(int)> onClick) {
  alerts_.push_back({alert, std::move(onClick)});
  render(LineKind::Alert, "alert " + alert.title);
}

bool StackScreenHost::clickAlertButton(int index) {
  if (alerts_.empty()) return false;
  OpenAlert alert = std::move(alerts_.back());
  alerts_.pop_back();
  if (alert.onClick) alert.onClick(index);
  return true;
}

std::optional<AlertSpec> StackScreenHost::openAlert() const {
  if (alerts_.empty()) return std::nullopt;
  return alerts_.back().spec;
}

void StackScreenHost::endEditing() {
  render(LineKind::Keyboard, "keyboard hide");
}

}  // namespace twig
