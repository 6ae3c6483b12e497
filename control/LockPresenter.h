#pragma once

#include <memory>

#include "platform/Json.h"
#include "platform/NotificationCenter.h"

namespace twig {

struct ControlEvents;
class ScreenRoutes;

class MainLoop;
class ScreenHost;
class LockScreen;

// Shows the lock screen while app control reports applications running outside their window, as
// the cover of the screen host: over whatever is shown, the placeholder of a start without the
// service, the installation or binding screen, or any modal screen, and kept when the first screen
// arrives. One lock at a time: a later start only changes what it lists (and speaks). The lock
// closes itself when control ends or the device is unbound. Made once at start-up; main loop only,
// though the names it observes may be posted on any thread.
class LockPresenter {
 public:
  LockPresenter(ControlEvents& events, MainLoop& mainLoop, ScreenHost& host, const ScreenRoutes& routes);
  ~LockPresenter();
  LockPresenter(const LockPresenter&) = delete;
  LockPresenter& operator=(const LockPresenter&) = delete;

  // Control started with the offending entries.
  void lockStart(const Json& entries);
  // The lock shown now; null when none is.
  std::shared_ptr<LockScreen> lock() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  ObserverToken controlStart_;
};

}  // namespace twig
