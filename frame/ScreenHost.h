#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace twig {

class ViewModel;
using ScreenPtr = std::shared_ptr<ViewModel>;

enum class OverlayKind { Success, Error, Warning, Progress };
// "success", "error", "warning", "progress": how hosts name the kinds.
const char* overlayKindName(OverlayKind kind);

struct AlertSpec {
  std::string title;
  std::string message;
  std::vector<std::string> buttons;
};

// Where screens are shown: one navigation stack with modal screens over it, the message overlays,
// the no-network bar and alerts. Implemented by the Qt front end, the console host of the headless
// agent and the tests' fake. Every call belongs to the main loop.
class ScreenHost {
 public:
  virtual ~ScreenHost() = default;

  // Makes the window visible (white, empty) before any screen is shown.
  virtual void showWindow() = 0;
  // Replaces the whole navigation stack (and closes modal screens) with `screen`.
  virtual void setRoot(ScreenPtr screen) = 0;
  virtual void push(ScreenPtr screen, bool animated) = 0;
  virtual void pop(bool animated) = 0;
  virtual void popToRoot(bool animated) = 0;
  virtual void present(ScreenPtr screen, bool animated) = 0;
  // Closes the topmost modal screen.
  virtual void dismiss(bool animated) = 0;
  // The modal screen on top if any, else the top of the navigation stack; null before any screen.
  // The cover is not part of it: the screens under a cover go on opening and closing themselves.
  virtual ScreenPtr topScreen() const = 0;
  virtual ScreenPtr rootScreen() const = 0;

  // The cover is a screen over everything (the lock screen): over every modal screen, including
  // those presented after it, and kept when the root changes. Presenting another replaces it.
  virtual void presentCover(ScreenPtr screen) = 0;
  // Closes the cover when `screen` is it; nothing otherwise.
  virtual void dismissCover(const ViewModel* screen) = 0;
  virtual ScreenPtr coverScreen() const = 0;

  // Success, error and warning overlays hide themselves; a progress overlay stays until dismissed.
  virtual void showOverlay(OverlayKind kind, const std::string& text) = 0;
  virtual void dismissOverlay() = 0;
  // Shows the bar (once; a second call only replaces its action) and runs `onClick` when it is tapped.
  virtual void showNoNetworkBar(std::function<void()> onClick) = 0;
  virtual void hideNoNetworkBar() = 0;
  // `onClick` receives the index of the button pressed.
  virtual void showAlert(const AlertSpec& alert, std::function<void(int buttonIndex)> onClick) = 0;
  // Hides the keyboard.
  virtual void endEditing() = 0;
};

}  // namespace twig
