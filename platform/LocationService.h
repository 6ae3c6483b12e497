#pragma once

#include <functional>

namespace twig {

// Position fixes of the device (WGS-84 degrees).
class LocationService {
 public:
  using Update = std::function<void(double latitude, double longitude)>;
  using Failure = std::function<void()>;
  virtual ~LocationService() = default;
  virtual bool isEnabled() = 0;
  // Reports updates (or one failure) until stopUpdates(); reports may come on any thread.
  virtual void startUpdates(Update update, Failure failure) = 0;
  virtual void stopUpdates() = 0;
};

}  // namespace twig
