#include "platform/PlainMainLoop.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <vector>

namespace twig {

namespace {

constexpr SteadyTime kDistantFuture = SteadyTime::max();
constexpr SteadyTime kDistantPast = SteadyTime::min();
// Real waits are cut into slices so that a far deadline never overflows the wait call.
constexpr auto kLongestRealWait = std::chrono::hours(1);

void runGuarded(const Task& task) {
  // One faulty task must not take the whole agent down with it.
  try {
    task();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "twig: main-loop task failed: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "twig: main-loop task failed with an unknown exception\n");
  }
}

}  // namespace

using TimerKey = std::pair<SteadyTime, std::uint64_t>;

struct PlainMainLoop::Core {
  explicit Core(Clock& c) : clock(c) {}

  Clock& clock;
  mutable std::mutex mutex;
  std::condition_variable wake;
  std::deque<Task> posted;
  std::map<TimerKey, std::shared_ptr<Timer>> timers;
  std::uint64_t nextSequence = 1;
  bool quitRequested = false;
  bool clockMoved = false;

  // Caller holds the mutex.
  void schedule(const std::shared_ptr<Timer>& timer, SteadyTime deadline);
};

class PlainMainLoop::Timer final : public TimerControl, public std::enable_shared_from_this<Timer> {
 public:
  Timer(std::weak_ptr<Core> core, Duration interval, Task task, bool repeats)
      : interval_(interval), task_(std::move(task)), repeats_(repeats), core_(std::move(core)) {}

  void invalidate() override {
    if (auto core = core_.lock()) {
      std::lock_guard lock(core->mutex);
      if (valid_) core->timers.erase(key_);
      valid_ = false;
    }
  }
  bool isValid() const override {
    if (auto core = core_.lock()) {
      std::lock_guard lock(core->mutex);
      return valid_;
    }
    return false;
  }
  void pause() override { moveTo(kDistantFuture); }
  void fireNow() override { moveTo(kDistantPast); }

  // Everything below is called with the core's mutex held.
  TimerKey key_{};
  bool valid_ = true;
  Duration interval_;
  Task task_;
  bool repeats_;

 private:
  void moveTo(SteadyTime deadline) {
    if (auto core = core_.lock()) {
      std::lock_guard lock(core->mutex);
      if (!valid_) return;
      core->timers.erase(key_);
      core->schedule(shared_from_this(), deadline);
      core->wake.notify_all();
    }
  }

  std::weak_ptr<Core> core_;
};

void PlainMainLoop::Core::schedule(const std::shared_ptr<Timer>& timer, SteadyTime deadline) {
  timer->key_ = {deadline, nextSequence++};
  timers.emplace(timer->key_, timer);
}

PlainMainLoop::PlainMainLoop(Clock& clock)
    : clock_(clock), core_(std::make_shared<Core>(clock)), mainThread_(std::this_thread::get_id()) {
  std::weak_ptr<Core> weak = core_;
  clockWatch_ = clock_.watchAdvances([weak] {
    if (auto core = weak.lock()) {
      std::lock_guard lock(core->mutex);
      core->clockMoved = true;
      core->wake.notify_all();
    }
  });
}

PlainMainLoop::~PlainMainLoop() {
  clockWatch_.reset();
  std::deque<Task> dropped;
  std::map<TimerKey, std::shared_ptr<Timer>> droppedTimers;
  {
    std::lock_guard lock(core_->mutex);
    dropped.swap(core_->posted);
    droppedTimers.swap(core_->timers);
    for (auto& [key, timer] : droppedTimers) timer->valid_ = false;
  }
}

void PlainMainLoop::post(Task task) {
  std::lock_guard lock(core_->mutex);
  core_->posted.push_back(std::move(task));
  core_->wake.notify_all();
}

void PlainMainLoop::postAfter(Duration delay, Task task) {
  auto timer = std::make_shared<Timer>(core_, delay, std::move(task), false);
  const SteadyTime deadline = clock_.steadyNow() + delay;
  std::lock_guard lock(core_->mutex);
  core_->schedule(timer, deadline);
  core_->wake.notify_all();
}

TimerHandle PlainMainLoop::scheduleRepeating(Duration interval, Task task) {
  if (interval < std::chrono::milliseconds(1)) interval = std::chrono::milliseconds(1);
  auto timer = std::make_shared<Timer>(core_, interval, std::move(task), true);
  const SteadyTime deadline = clock_.steadyNow() + interval;
  {
    std::lock_guard lock(core_->mutex);
    core_->schedule(timer, deadline);
    core_->wake.notify_all();
  }
  return TimerHandle(timer);
}

bool PlainMainLoop::isMainThread() const {
  return mainThread_.load() == std::this_thread::get_id();
}

void PlainMainLoop::bindToCallingThread() {
  mainThread_.store(std::this_thread::get_id());
}

std::optional<SteadyTime> PlainMainLoop::nextDeadline() const {
  std::lock_guard lock(core_->mutex);
  for (const auto& [key, timer] : core_->timers) {
    if (key.first != kDistantFuture) return key.first;
  }
  return std::nullopt;
}

std::size_t PlainMainLoop::runReady() {
  std::size_t ran = 0;
  std::deque<Task> batch;
  {
    std::lock_guard lock(core_->mutex);
    batch.swap(core_->posted);
  }
  for (auto& task : batch) {
    runGuarded(task);
    ++ran;
  }

  // Timers due at the start of this pass; a timer that falls due again while its task runs waits
  // for the next pass, so a zero-length interval cannot starve posted tasks.
  const SteadyTime now = clock_.steadyNow();
  std::vector<std::pair<std::shared_ptr<Timer>, Task>> due;
  {
    std::lock_guard lock(core_->mutex);
    while (!core_->timers.empty() && core_->timers.begin()->first.first <= now) {
      auto timer = core_->timers.begin()->second;
      core_->timers.erase(core_->timers.begin());
      if (timer->repeats_) {
        // Missed firings are skipped, not replayed: the next firing is the first one after now.
        SteadyTime next =
            timer->key_.first == kDistantPast ? now + timer->interval_ : timer->key_.first + timer->interval_;
        if (next <= now) {
          const auto behind = (now - next) / timer->interval_ + 1;
          next += behind * timer->interval_;
        }
        core_->schedule(timer, next);
        due.emplace_back(timer, timer->task_);
      } else {
        timer->valid_ = false;
        due.emplace_back(timer, std::move(timer->task_));
      }
    }
  }
  for (auto& [timer, task] : due) {
    {
      // An earlier task of this pass may have stopped this timer.
      std::lock_guard lock(core_->mutex);
      if (timer->repeats_ && !timer->valid_) continue;
    }
    runGuarded(task);
    ++ran;
  }
  return ran;
}

std::size_t PlainMainLoop::runUntilIdle() {
  bindToCallingThread();
  std::size_t total = 0;
  for (;;) {
    const std::size_t ran = runReady();
    total += ran;
    if (ran == 0) return total;
  }
}

void PlainMainLoop::run() {
  bindToCallingThread();
  for (;;) {
    runReady();
    std::unique_lock lock(core_->mutex);
    if (core_->quitRequested) {
      core_->quitRequested = false;
      return;
    }
    if (!core_->posted.empty()) continue;
    const auto next = core_->timers.empty() ? kDistantFuture : core_->timers.begin()->first.first;
    if (next <= clock_.steadyNow()) continue;
    if (clock_.isManual()) {
      core_->wake.wait(lock,
                       [&] { return !core_->posted.empty() || core_->quitRequested || core_->clockMoved; });
      core_->clockMoved = false;
    } else {
      const auto limit = clock_.steadyNow() + kLongestRealWait;
      core_->wake.wait_until(lock, std::min(next, limit));
    }
  }
}

void PlainMainLoop::quit() {
  std::lock_guard lock(core_->mutex);
  core_->quitRequested = true;
  core_->wake.notify_all();
}

bool PlainMainLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds realTimeout) {
  bindToCallingThread();
  const auto giveUp = std::chrono::steady_clock::now() + realTimeout;
  for (;;) {
    runReady();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= giveUp) return done();
    std::unique_lock lock(core_->mutex);
    if (!core_->posted.empty()) continue;
    // Short slices: `done` may also turn true through another thread without a post.
    auto wakeAt = std::min(giveUp, std::chrono::steady_clock::now() + std::chrono::milliseconds(20));
    if (!clock_.isManual() && !core_->timers.empty()) {
      const auto next = core_->timers.begin()->first.first;
      if (next <= clock_.steadyNow()) continue;
      if (next < wakeAt) wakeAt = next;
    }
    core_->wake.wait_until(lock, wakeAt, [&] { return !core_->posted.empty() || core_->clockMoved; });
    core_->clockMoved = false;
  }
}

}  // namespace twig
