#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace twig {

class LocationService;

// The child's position for the parent: one fix at a time from the location service, shared by
// every request waiting for it, converted for maps in China.
class LocationFix {
 public:
  explicit LocationFix(LocationService& location);
  ~LocationFix();
  LocationFix(const LocationFix&) = delete;
  LocationFix& operator=(const LocationFix&) = delete;

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
  LocationService& location_;
  // The requests waiting for a fix. Shared with the location service's report callbacks, so that a
  // report already on its way when this object ends touches nothing that has gone.
  struct LocationRequests {
    std::mutex mutex;
    std::vector<LocationResult> waiting;
    bool locating = false;
  };
  std::shared_ptr<LocationRequests> requests_ = std::make_shared<LocationRequests>();
};

}  // namespace twig
