#include "ui/QtMainLoop.h"

#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>

namespace twig {

namespace {

int milliseconds(Duration duration) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
  return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

}  // namespace

// A repeating timer. The QTimer belongs to the loop's thread; the handle's calls may come from any
// thread, so they only set the flag and hand the rest to the loop.
class QtMainLoop::Timer final : public TimerControl, public std::enable_shared_from_this<Timer> {
 public:
  Timer(QtMainLoop& loop, Duration interval, Task task)
      : loop_(loop), interval_(milliseconds(interval)), task_(std::move(task)) {}

  // On the loop's thread.
  void start(QObject* context) {
    timer_ = new QTimer(context);
    timer_->setInterval(interval_);
    std::weak_ptr<Timer> weak = shared_from_this();
    QObject::connect(timer_, &QTimer::timeout, context, [weak] {
      if (auto self = weak.lock()) self->fire();
    });
    timer_->start();
  }

  void invalidate() override {
    if (!valid_.exchange(false)) return;
    onLoop([](Timer& self) {
      // Maybe inside the timer's own timeout: deleted once that has returned.
      if (self.timer_) {
        self.timer_->stop();
        self.timer_->deleteLater();
      }
      self.timer_ = nullptr;
      self.task_ = nullptr;
    });
  }
  bool isValid() const override { return valid_; }
  void pause() override {
    onLoop([](Timer& self) {
      if (self.timer_) self.timer_->stop();
    });
  }
  void fireNow() override {
    onLoop([](Timer& self) {
      if (!self.timer_) return;
      self.timer_->start();  // the next firing one interval after this one
      self.fire();
    });
  }

 private:
  void fire() {
    if (!valid_ || !task_) return;
    Task task = task_;  // the task may drop its own handle
    task();
  }
  void onLoop(void (*step)(Timer&)) {
    std::weak_ptr<Timer> weak = weak_from_this();
    loop_.runOrPost([weak, step] {
      if (auto self = weak.lock()) step(*self);
    });
  }

  QtMainLoop& loop_;
  int interval_;
  Task task_;
  std::atomic<bool> valid_{true};
  QPointer<QTimer> timer_;
};

QtMainLoop::QtMainLoop() : context_(new QObject) {}

QtMainLoop::~QtMainLoop() {
  delete context_;
}

void QtMainLoop::post(Task task) {
  QMetaObject::invokeMethod(
      context_, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtMainLoop::postAfter(Duration delay, Task task) {
  const int ms = milliseconds(delay);
  post([context = context_, ms, task = std::move(task)]() mutable {
    QTimer::singleShot(ms, context, [task = std::move(task)] { task(); });
  });
}

TimerHandle QtMainLoop::scheduleRepeating(Duration interval, Task task) {
  auto timer = std::make_shared<Timer>(*this, interval, std::move(task));
  std::weak_ptr<Timer> weak = timer;
  runOrPost([weak, context = context_] {
    if (auto started = weak.lock(); started && started->isValid()) started->start(context);
  });
  return TimerHandle(timer);
}

bool QtMainLoop::isMainThread() const {
  return QThread::currentThread() == context_->thread();
}

}  // namespace twig
