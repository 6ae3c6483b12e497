#include "control/LockPresenter.h"

#include "control/ControlEvents.h"
#include "control/LockScreen.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRoutes.h"
#include "platform/MainLoop.h"

namespace twig {

struct LockPresenter::Shared {
  Shared(ScreenHost& screenHost, const ScreenRoutes& screenRoutes) : host(screenHost), routes(screenRoutes) {}
  ScreenHost& host;
  const ScreenRoutes& routes;
  std::shared_ptr<LockScreen> lock;
};

LockPresenter::LockPresenter(ControlEvents& events, MainLoop& mainLoop, ScreenHost& host,
                             const ScreenRoutes& routes)
    : shared_(std::make_shared<Shared>(host, routes)) {
  std::weak_ptr<Shared> weak = shared_;
  controlStart_ = events.started.connect([this, weak, &mainLoop](const Json& entries) {
    mainLoop.runOrPost([this, weak, entries] {
      // Dropping the observer token waits for a running observer, not for what it posted.
      if (!weak.expired()) lockStart(entries);
    });
  });
}

LockPresenter::~LockPresenter() = default;

void LockPresenter::lockStart(const Json& entries) {
  if (auto shown = lock()) {
    shown->setArray(entries);
    return;
  }
  auto lock = std::dynamic_pointer_cast<LockScreen>(shared_->routes.makeLockScreen());
  if (!lock) return;  // reported by the routing module
  std::weak_ptr<Shared> weak = shared_;
  std::weak_ptr<LockScreen> weakLock = lock;
  lock->setUnLockBlock([weak, weakLock] {
    auto shared = weak.lock();
    if (shared && shared->lock == weakLock.lock()) shared->lock.reset();
  });
  lock->setArray(entries);
  shared_->lock = lock;
  shared_->host.presentCover(lock);
}

std::shared_ptr<LockScreen> LockPresenter::lock() const {
  return shared_->lock;
}

}  // namespace twig
