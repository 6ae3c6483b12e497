#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "tests/fakes/ManualTime.h"

namespace twig::test {

// Runs the agent's loop (manual time stands still) and Qt's until `done` holds, or 20 s of real
// time. Objects given up with deleteLater go between turns, as in Qt's own loop.
inline bool pumpUntil(ManualTime& time, const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 20000) {
    time.loop().runUntilIdle();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (done()) return true;
  }
  return false;
}

}  // namespace twig::test
