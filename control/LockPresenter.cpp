#include "control/LockPresenter.h"

#include "control/LockScreen.h"
#include "control/AppControlManager.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRoutes.h"
#include "platform/MainLoop.h"

namespace twig {

struct LockPresenter::Shared {
  explicit Shared(ScreenHost& screenHost) : host(screenHost) {}
  ScreenHost& host;
  std::shared_ptr<LockScreen> lock;
};

LockPresenter::LockPresenter(NotificationCenter& notifications, MainLoop& mainLoop, ScreenHost& host)
    : shared_(std::make_shared<Shared>(host)) {
  std::weak_ptr<Shared> weak = shared_;
  controlStart_ = notifications.addObserver(AppControlManager::kControlStart, [this, weak, &mainLoop](
                                                                              const Notification& n) {
    const auto* entries = std::any_cast<Json>(&n.object);
    mainLoop.runOrPost([this, weak, entries = entries != nullptr ? *entries : Json::array()] {
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
  auto lock = std::dynamic_pointer_cast<LockScreen>(
      ScreenRoutes::sharedRouting().makeLockScreen());
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
