#include "identity/TWIGChildUser.h"

#include "app/TWIGAlertView.h"
#include "platform/DeploymentSettings.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/ScreenHost.h"
#include "platform/UrlOpener.h"
#include "storage/TWIGCache.h"

namespace twig {

namespace {
std::mutex sharedMutex;
std::unique_ptr<TWIGChildUser> sharedUser;
}  // namespace

TWIGChildUser::TWIGChildUser() : childInfo_(TWIGChildInfo::child_fetchInfo()) {}

TWIGChildUser::~TWIGChildUser() = default;

TWIGChildUser& TWIGChildUser::sharedChildUser() {
  std::lock_guard lock(sharedMutex);
  if (!sharedUser) sharedUser.reset(new TWIGChildUser());
  return *sharedUser;
}

void TWIGChildUser::resetShared() {
  std::lock_guard lock(sharedMutex);
  sharedUser.reset();
}

void TWIGChildUser::onMainLoop(std::function<void()> work) {
  auto& loop = port::mainLoop();
  if (loop.isMainThread()) {
    work();
  } else {
    loop.post(std::move(work));
  }
}

TWIGChildInfo TWIGChildUser::childInfo() const {
  std::lock_guard lock(mutex_);
  return childInfo_;
}

void TWIGChildUser::updateChildInfo(const std::function<void(TWIGChildInfo&)>& change) {
  std::lock_guard lock(mutex_);
  change(childInfo_);
  TWIGChildInfo::child_saveInfo(childInfo_);
}

std::string TWIGChildUser::user_childDeviceId() const {
  return childInfo().child_childDeviceId.value_or("");
}
std::string TWIGChildUser::user_parentsDeviceId() const {
  return childInfo().child_parentsDeviceId.value_or("");
}
std::string TWIGChildUser::user_parentDN() const {
  return childInfo().child_parentDN.value_or("");
}
std::string TWIGChildUser::user_APNSToken() const {
  return childInfo().child_apnsToken.value_or("");
}

bool TWIGChildUser::user_isBinding() const {
  return TWIGCache::boolForKey(kBindingKey);
}

std::optional<std::int64_t> TWIGChildUser::user_BillsNumber() const {
  const auto value = TWIGCache::objectForKey(kBillsNumberKey);
  return value ? value->integerValue() : std::nullopt;
}

void TWIGChildUser::showSuccessMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Success, text); });
}

void TWIGChildUser::showErrorMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Error, text); });
}

void TWIGChildUser::showWarningMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Warning, text); });
}

void TWIGChildUser::showProgressMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Progress, text); });
}

void TWIGChildUser::dismissHUD() {
  onMainLoop([] { port::screenHost().dismissOverlay(); });
}

void TWIGChildUser::showNetWorkWithClick(std::function<void()> onClick) {
  onMainLoop([onClick = std::move(onClick)]() mutable {
    auto& host = port::screenHost();
    host.endEditing();
    host.showNoNetworkBar(std::move(onClick));
  });
}

void TWIGChildUser::dismisNetWork() {
  onMainLoop([] { port::screenHost().hideNoNetworkBar(); });
}

void TWIGChildUser::showEventUpgrade() {
  // Always in a later turn of the main loop, as the version check runs on the push channel's thread.
  port::mainLoop().post([] { sharedChildUser().presentUpgradeAlert(); });
}

void TWIGChildUser::presentUpgradeAlert() {
  if (!upgradeAlertView_) {
    upgradeAlertView_ = std::make_shared<TWIGAlertView>(kUpgradeTitle, "", std::vector<std::string>{"确定"});
  }
  upgradeAlertView_->show();
  upgradeAlertView_->handlerClickedButton(
      [](int) { port::urlOpener().openURL(kInstallLinkPrefix + port::settings().installManifestUrl); });
}

}  // namespace twig
