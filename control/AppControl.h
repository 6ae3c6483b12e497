#pragma once

namespace twig {

// What the application frame and the binding screen ask of the app-control manager.
class AppControl {
 public:
  virtual ~AppControl() = default;
  // Starts the monitoring timer unless it runs.
  virtual void start() = 0;
  // The hook that would bring this application back to the foreground.
  virtual void openSelf() = 0;
};

}  // namespace twig
