#include "identity/ChildUser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "frame/ScreenHost.h"
#include "frame/Alert.h"
#include "platform/DeploymentSettings.h"
#include "platform/LocationService.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"
#include "platform/SharedInstance.h"
#include "platform/UrlOpener.h"
#include "storage/Cache.h"

namespace twig {

namespace {
SharedInstance<ChildUser> shared;
}  // namespace

ChildUser::ChildUser() : childInfo_(ChildInfo::load()) {}

ChildUser::~ChildUser() {
  stopLocating();
}

ChildUser& ChildUser::sharedChildUser() {
  return shared.get([] { return std::unique_ptr<ChildUser>(new ChildUser()); });
}

void ChildUser::resetShared() {
  shared.reset();
}

void ChildUser::stopShared() {
  if (ChildUser* user = shared.peek()) user->stopLocating();
}

void ChildUser::onMainLoop(std::function<void()> work) {
  port::mainLoop().runOrPost(std::move(work));
}

ChildInfo ChildUser::childInfo() const {
  std::lock_guard lock(mutex_);
  return childInfo_;
}

void ChildUser::updateChildInfo(const std::function<void(ChildInfo&)>& change) {
  std::lock_guard lock(mutex_);
  change(childInfo_);
  ChildInfo::save(childInfo_);
}

std::string ChildUser::deviceId() const {
  return childInfo().deviceId.value_or("");
}
std::string ChildUser::parentDeviceId() const {
  return childInfo().parentDeviceId.value_or("");
}
std::string ChildUser::parentDN() const {
  return childInfo().parentDN.value_or("");
}
std::string ChildUser::pushToken() const {
  return childInfo().pushToken.value_or("");
}

bool ChildUser::isBound() const {
  return Cache::boolForKey(kBindingKey);
}

std::optional<std::int64_t> ChildUser::billsNumber() const {
  const auto value = Cache::objectForKey(kBillsNumberKey);
  return value ? value->integerValue() : std::nullopt;
}

void ChildUser::showSuccessMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Success, text); });
}

void ChildUser::showErrorMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Error, text); });
}

void ChildUser::showWarningMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Warning, text); });
}

void ChildUser::showProgressMessage(const std::string& text) {
  onMainLoop([text] { port::screenHost().showOverlay(OverlayKind::Progress, text); });
}

void ChildUser::dismissHUD() {
  onMainLoop([] { port::screenHost().dismissOverlay(); });
}

void ChildUser::showNetWorkWithClick(std::function<void()> onClick) {
  onMainLoop([onClick = std::move(onClick)]() mutable {
    auto& host = port::screenHost();
    host.endEditing();
    host.showNoNetworkBar(std::move(onClick));
  });
}

void ChildUser::hideNoNetworkBar() {
  onMainLoop([] { port::screenHost().hideNoNetworkBar(); });
}

void ChildUser::showEventUpgrade() {
  // Always in a later turn of the main loop, as the version check runs on the push channel's thread.
  port::mainLoop().post([] { sharedChildUser().presentUpgradeAlert(); });
}

void ChildUser::presentUpgradeAlert() {
  if (!upgradeAlertView_) {
    upgradeAlertView_ = std::make_shared<Alert>(kUpgradeTitle, "", std::vector<std::string>{"确定"});
  }
  upgradeAlertView_->show();
  upgradeAlertView_->handlerClickedButton(
      [](int) { port::urlOpener().openURL(kInstallLinkPrefix + port::settings().installManifestUrl); });
}

void ChildUser::fetchChildLocationWithComplete(LocationResult complete) {
  auto& location = port::locationService();
  if (!location.isEnabled()) {
    if (complete) complete(0, 0);
    return;
  }
  {
    std::lock_guard lock(location_->mutex);
    location_->waiting.push_back(std::move(complete));
    if (location_->locating) return;  // the fix under way answers this request too
    location_->locating = true;
  }
  auto answer = [requests = location_](double latitude, double longitude) {
    std::vector<LocationResult> waiting;
    {
      std::lock_guard lock(requests->mutex);
      waiting.swap(requests->waiting);
      requests->locating = false;
    }
    for (auto& result : waiting) {
      if (result) result(latitude, longitude);
    }
  };
  location.startUpdates(
      [answer](double latitude, double longitude) {
        const Location converted = transformToMars({latitude, longitude});
        port::locationService().stopUpdates();
        answer(converted.latitude, converted.longitude);
      },
      [answer] {
        port::locationService().stopUpdates();
        answer(0, 0);
      });
}

void ChildUser::stopLocating() {
  {
    std::lock_guard lock(location_->mutex);
    if (!location_->locating) return;
  }
  // Outside the lock: a report being delivered now takes it, and the service waits for that report.
  port::locationService().stopUpdates();
  std::lock_guard lock(location_->mutex);
  location_->waiting.clear();
  location_->locating = false;
}

bool ChildUser::outOfChina(Location location) {
  return location.longitude < 72.004 || location.longitude > 137.8347 || location.latitude < 0.8293 ||
         location.latitude > 55.8271;
}

namespace {

// The square-root term takes the whole part of x (cut toward zero, as a 32-bit integer) before
// the absolute value.
double truncatedRoot(double x) {
  const double clamped = std::max(-2147483648.0, std::min(2147483647.0, x));
  return std::sqrt(std::fabs(static_cast<double>(static_cast<std::int32_t>(clamped))));
}

}  // namespace

double ChildUser::transformLatWithX(double x, double y) {
  double result = -100.0 + 2.0 * x + 3.0 * y + 0.2 * y * y + 0.1 * x * y + 0.2 * truncatedRoot(x);
  result += (20.0 * std::sin(6.0 * x * M_PI) + 20.0 * std::sin(2.0 * x * M_PI)) * 2.0 / 3.0;
  result += (20.0 * std::sin(y * M_PI) + 40.0 * std::sin(y / 3.0 * M_PI)) * 2.0 / 3.0;
  result += (160.0 * std::sin(y / 12.0 * M_PI) + 320.0 * std::sin(y * M_PI / 30.0)) * 2.0 / 3.0;
  return result;
}

double ChildUser::transformLonWithX(double x, double y) {
  double result = 300.0 + x + 2.0 * y + 0.1 * x * x + 0.1 * x * y + 0.1 * truncatedRoot(x);
  result += (20.0 * std::sin(6.0 * x * M_PI) + 20.0 * std::sin(2.0 * x * M_PI)) * 2.0 / 3.0;
  result += (20.0 * std::sin(x * M_PI) + 40.0 * std::sin(x / 3.0 * M_PI)) * 2.0 / 3.0;
  result += (150.0 * std::sin(x / 12.0 * M_PI) + 300.0 * std::sin(x / 30.0 * M_PI)) * 2.0 / 3.0;
  return result;
}

ChildUser::Location ChildUser::transformToMars(Location location) {
  if (outOfChina(location)) return location;
  const double x = location.longitude - 105.0;
  const double y = location.latitude - 35.0;
  double dLat = transformLatWithX(x, y);
  double dLon = transformLonWithX(x, y);
  const double radLat = location.latitude / 180.0 * M_PI;
  const double magic = 1 - 0.006693421622965943 * std::sin(radLat) * std::sin(radLat);
  const double sqrtMagic = std::sqrt(magic);
  dLat = dLat * 180.0 / (6335552.717000426 / (magic * sqrtMagic) * M_PI);
  dLon = dLon * 180.0 / (6378245.0 / sqrtMagic * std::cos(radLat) * M_PI);
  return {location.latitude + dLat, location.longitude + dLon};
}

}  // namespace twig
