#include "ui/QuickScreenHost.h"

#include <QStringList>
#include <set>

#include "frame/ViewModel.h"
#include "ui/ScreenBridge.h"

namespace twig {

QuickScreenHost::QuickScreenHost(QObject* parent) : QObject(parent) {}

QuickScreenHost::~QuickScreenHost() = default;

ScreenBridge* QuickScreenHost::bridgeFor(const ScreenPtr& screen) {
  auto it = bridges_.find(screen.get());
  if (it != bridges_.end()) return it->second;
  auto* bridge = new ScreenBridge(screen, this);
  bridges_.emplace(screen.get(), bridge);
  return bridge;
}

ScreenBridge* QuickScreenHost::bridgeOf(const ViewModel* screen) const {
  auto it = bridges_.find(screen);
  return it == bridges_.end() ? nullptr : it->second;
}

void QuickScreenHost::rebuild() {
  std::set<const ViewModel*> shown;
  QVariantList stack;
  for (const auto& screen : navigationStack()) {
    stack.push_back(QVariant::fromValue<QObject*>(bridgeFor(screen)));
    shown.insert(screen.get());
  }
  QVariantList modals;
  for (const auto& screen : modalScreens()) {
    modals.push_back(QVariant::fromValue<QObject*>(bridgeFor(screen)));
    shown.insert(screen.get());
  }
  // The cover (the lock screen) is drawn over the whole desktop, not inside the window.
  QObject* lock = nullptr;
  if (const auto cover = coverScreen()) {
    lock = bridgeFor(cover);
    shown.insert(cover.get());
  }
  for (auto it = bridges_.begin(); it != bridges_.end();) {
    if (shown.count(it->first) > 0) {
      ++it;
      continue;
    }
    // QML may still hold it during this turn of the loop.
    it->second->deleteLater();
    it = bridges_.erase(it);
  }
  stack_ = std::move(stack);
  modals_ = std::move(modals);
  lockScreen_ = lock;
  emit screensChanged();
}

void QuickScreenHost::render(LineKind kind, const std::string&) {
  if (kind == LineKind::Screen) rebuild();
}

void QuickScreenHost::stateChanged(const ScreenPtr& screen, const std::string& key, const Json& value) {
  if (ScreenBridge* bridge = bridgeOf(screen.get())) bridge->update(key, value);
}

QVariantMap QuickScreenHost::alert() const {
  const auto open = openAlert();
  if (!open) return {};
  QStringList buttons;
  for (const auto& button : open->buttons) buttons.push_back(QString::fromStdString(button));
  return {{"title", QString::fromStdString(open->title)},
          {"message", QString::fromStdString(open->message)},
          {"buttons", buttons}};
}

void QuickScreenHost::back() {
  // A modal screen leaves only by its own action, as on the console; nothing is left under the lock.
  if (!coverScreen() && modalScreens().empty() && navigationStack().size() > 1) pop(true);
}

void QuickScreenHost::tapBar() {
  tapNoNetworkBar();
}

void QuickScreenHost::clickAlert(int index) {
  clickAlertButton(index);
  emit alertChanged();
}

void QuickScreenHost::hideOverlay() {
  if (overlayText_.isEmpty() && overlayKind_.isEmpty()) return;
  overlayKind_.clear();
  overlayText_.clear();
  emit overlayChanged();
}

void QuickScreenHost::showOverlay(OverlayKind kind, const std::string& text) {
  overlayKind_ = QString::fromLatin1(overlayKindName(kind));
  overlayText_ = QString::fromStdString(text);
  ++overlaySerial_;
  emit overlayChanged();
}

void QuickScreenHost::dismissOverlay() {
  hideOverlay();
}

void QuickScreenHost::showNoNetworkBar(std::function<void()> onClick) {
  StackScreenHost::showNoNetworkBar(std::move(onClick));
  emit barChanged();
}

void QuickScreenHost::hideNoNetworkBar() {
  StackScreenHost::hideNoNetworkBar();
  emit barChanged();
}

void QuickScreenHost::showAlert(const AlertSpec& alert, std::function<void(int)> onClick) {
  StackScreenHost::showAlert(alert, std::move(onClick));
  emit alertChanged();
}

void QuickScreenHost::endEditing() {
  emit keyboardHidden();
}

void QuickScreenHost::showWindow() {
  emit windowRequested();
}

}  // namespace twig
