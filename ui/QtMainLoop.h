#pragma once

#include <QObject>
#include <QPointer>

#include "platform/MainLoop.h"

namespace twig {

// The main loop on Qt's event loop, for the window: tasks and timers run on the thread that made
// it (the GUI thread). Tasks may be posted from any thread; timer handles may be dropped anywhere.
class QtMainLoop final : public MainLoop {
 public:
  QtMainLoop();
  ~QtMainLoop() override;
  QtMainLoop(const QtMainLoop&) = delete;
  QtMainLoop& operator=(const QtMainLoop&) = delete;

  void post(Task task) override;
  void postAfter(Duration delay, Task task) override;
  [[nodiscard]] TimerHandle scheduleRepeating(Duration interval, Task task) override;
  bool isMainThread() const override;

 private:
  class Timer;
  // Tasks are delivered to this object; it lives on the loop's thread.
  QObject* context_;
};

}  // namespace twig
