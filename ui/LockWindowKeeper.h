#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <vector>

namespace twig {

// What the desktop must not undo while the lock screen shows. Its windows refuse to close (Alt+F4,
// the window manager's close button), are on every workspace of the desktop, and come back on top
// when another window is raised above them (checked at once when one of them loses the focus, and
// every second). The workspace and the raising speak X11 (EWMH); elsewhere the windows still refuse
// to close. Main (GUI) thread only.
class LockWindowKeeper final : public QObject {
  Q_OBJECT

 public:
  explicit LockWindowKeeper(QObject* parent = nullptr);

  // Called by each lock window once it exists; kept until it is destroyed.
  Q_INVOKABLE void keep(QWindow* window);
  // The windows kept now.
  std::vector<QWindow*> windows() const;
  // How many close requests were refused.
  int refusedCloses() const { return refusedCloses_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void raiseAll();

  std::vector<QPointer<QWindow>> windows_;
  QTimer timer_;
  int refusedCloses_ = 0;
};

}  // namespace twig
