#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "identity/ChildInfo.h"

namespace twig {

class Alert;

// The process's child: this device's identity and its parent's, the binding flag, and the
// messages shown to the user (overlays, the no-network bar, the new-version alert). Callable from
// any thread; what it shows always happens on the main loop.
class ChildUser {
 public:
  static constexpr const char* kBindingKey = "binding";
  static constexpr const char* kBillsNumberKey = "billsNumber";
  static constexpr const char* kUpgradeTitle = "刺猬家发现新版本请升级";
  static constexpr const char* kInstallLinkPrefix = "itms-services://?action=download-manifest&url=";

  static ChildUser& sharedChildUser();
  // Ends the process's child (before the ports go away); the next use loads it afresh.
  static void resetShared();
  // Stops the location updates the process's child user started, if it was made (see stopLocating()).
  static void stopShared();
  ~ChildUser();

  // A copy of the current record.
  ChildInfo childInfo() const;
  // Changes the shared record and stores it.
  void updateChildInfo(const std::function<void(ChildInfo&)>& change);

  std::string deviceId() const;
  std::string parentDeviceId() const;
  std::string parentDN() const;
  std::string pushToken() const;
  bool isBound() const;
  std::optional<std::int64_t> billsNumber() const;

  void showSuccessMessage(const std::string& text);
  void showErrorMessage(const std::string& text);
  void showWarningMessage(const std::string& text);
  // Stays until dismissHUD.
  void showProgressMessage(const std::string& text);
  void dismissHUD();
  // One bar, however often it is asked for; `onClick` runs when it is tapped.
  void showNetWorkWithClick(std::function<void()> onClick);
  void hideNoNetworkBar();
  // The new-version alert: one alert, made on first use and shown each time; its button opens the
  // installation link of this application.
  void showEventUpgrade();

  // One position fix as (latitude, longitude), the order of every location callback, converted for
  // maps in China; (0, 0) at once when location is off, and (0, 0) when the fix fails. Every
  // request waiting when the fix comes gets it. Callbacks run on the thread the location service
  // reports on.
  using LocationResult = std::function<void(double latitude, double longitude)>;
  void fetchChildLocationWithComplete(LocationResult complete);
  // Stops a fix under way; the requests waiting for it get no answer. The location service's report
  // callbacks use this object, so they stop before it goes.
  void stopLocating();
  struct Location {
    double latitude = 0;
    double longitude = 0;
  };
  // WGS-84 to the offset coordinates used by maps in China; positions outside China unchanged.
  static Location transformToMars(Location location);
  static bool outOfChina(Location location);
  static double transformLatWithX(double x, double y);
  static double transformLonWithX(double x, double y);

 private:
  ChildUser();
  static void onMainLoop(std::function<void()> work);
  void presentUpgradeAlert();

  mutable std::mutex mutex_;
  ChildInfo childInfo_;
  std::shared_ptr<Alert> upgradeAlertView_;  // main loop only
  // The requests waiting for a fix. Shared with the location service's report callbacks, so that a
  // report already on its way when this object ends touches nothing that has gone.
  struct LocationRequests {
    std::mutex mutex;
    std::vector<LocationResult> waiting;
    bool locating = false;
  };
  std::shared_ptr<LocationRequests> location_ = std::make_shared<LocationRequests>();
};

}  // namespace twig
