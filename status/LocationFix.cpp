#include "status/LocationFix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/LocationService.h"

namespace twig {

LocationFix::LocationFix(LocationService& location) : location_(location) {}

LocationFix::~LocationFix() {
  stopLocating();
}

void LocationFix::fetchChildLocationWithComplete(LocationResult complete) {
  auto& location = location_;
  if (!location.isEnabled()) {
    if (complete) complete(0, 0);
    return;
  }
  {
    std::lock_guard lock(requests_->mutex);
    requests_->waiting.push_back(std::move(complete));
    if (requests_->locating) return;  // the fix under way answers this request too
    requests_->locating = true;
  }
  auto answer = [requests = requests_](double latitude, double longitude) {
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
      [answer, &location](double latitude, double longitude) {
        const Location converted = transformToMars({latitude, longitude});
        location.stopUpdates();
        answer(converted.latitude, converted.longitude);
      },
      [answer, &location] {
        location.stopUpdates();
        answer(0, 0);
      });
}

void LocationFix::stopLocating() {
  {
    std::lock_guard lock(requests_->mutex);
    if (!requests_->locating) return;
  }
  // Outside the lock: a report being delivered now takes it, and the service waits for that report.
  location_.stopUpdates();
  std::lock_guard lock(requests_->mutex);
  requests_->waiting.clear();
  requests_->locating = false;
}

bool LocationFix::outOfChina(Location location) {
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

double LocationFix::transformLatWithX(double x, double y) {
  double result = -100.0 + 2.0 * x + 3.0 * y + 0.2 * y * y + 0.1 * x * y + 0.2 * truncatedRoot(x);
  result += (20.0 * std::sin(6.0 * x * M_PI) + 20.0 * std::sin(2.0 * x * M_PI)) * 2.0 / 3.0;
  result += (20.0 * std::sin(y * M_PI) + 40.0 * std::sin(y / 3.0 * M_PI)) * 2.0 / 3.0;
  result += (160.0 * std::sin(y / 12.0 * M_PI) + 320.0 * std::sin(y * M_PI / 30.0)) * 2.0 / 3.0;
  return result;
}

double LocationFix::transformLonWithX(double x, double y) {
  double result = 300.0 + x + 2.0 * y + 0.1 * x * x + 0.1 * x * y + 0.1 * truncatedRoot(x);
  result += (20.0 * std::sin(6.0 * x * M_PI) + 20.0 * std::sin(2.0 * x * M_PI)) * 2.0 / 3.0;
  result += (20.0 * std::sin(x * M_PI) + 40.0 * std::sin(x / 3.0 * M_PI)) * 2.0 / 3.0;
  result += (150.0 * std::sin(x / 12.0 * M_PI) + 300.0 * std::sin(x / 30.0 * M_PI)) * 2.0 / 3.0;
  return result;
}

LocationFix::Location LocationFix::transformToMars(Location location) {
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
