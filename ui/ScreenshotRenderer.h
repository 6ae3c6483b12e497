#pragma once

#include <QImage>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "platform/Json.h"

class QQmlApplicationEngine;
class QQuickWindow;

namespace twig {

class QuickScreenHost;
class QtMainLoop;
class NullAnalytics;
class SystemClock;

// Draws screens in given states in the real window, offscreen, for pictures of the product and
// for the render tests. A state comes from a fixture: {"name", "className", "state", optional
// "below" (screens under it in the navigation stack), "modal", "overlay" ([kind, text]), "bar",
// "alert" ({"title", "message", "buttons"}), "expect" (texts that must be on screen)}. Fixture
// texts may say "$PICTURES/", the folder of sample pictures drawn for the run. Needs a
// QGuiApplication; installs its own ports.
class ScreenshotRenderer {
 public:
  struct Shot {
    std::string name;
    QImage image;
    QStringList texts;     // every visible text in the window
    QStringList warnings;  // QML warnings while it was drawn
    QStringList missing;   // expected texts not on screen
  };

  ScreenshotRenderer(int width, int height);
  ~ScreenshotRenderer();
  ScreenshotRenderer(const ScreenshotRenderer&) = delete;
  ScreenshotRenderer& operator=(const ScreenshotRenderer&) = delete;

  // The fixtures shipped with the program.
  static Json shippedFixtures();
  Shot render(const Json& fixture);
  QQuickWindow* window() const { return window_; }
  QuickScreenHost& host() { return *host_; }

  // Renders every shipped fixture into `folder` as NAME.png; prints one line per picture and
  // every warning. Returns the process's exit code (1 when anything warned or was missing).
  static int writeAll(const std::string& folder, int width, int height);

 private:
  struct Installed;
  std::unique_ptr<Installed> installed_;
  std::unique_ptr<QuickScreenHost> host_;
  std::unique_ptr<QQmlApplicationEngine> engine_;
  QQuickWindow* window_ = nullptr;
  std::string pictures_;
};

}  // namespace twig
