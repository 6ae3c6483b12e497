#pragma once

namespace twig {

// Notifications the application posts as its lifecycle goes (the front end or the headless runner
// posts them; tests post them directly).
struct ApplicationEvents {
  static constexpr const char* kDidBecomeActive = "ApplicationDidBecomeActive";
  static constexpr const char* kWillEnterForeground = "ApplicationWillEnterForeground";
  static constexpr const char* kDidEnterBackground = "ApplicationDidEnterBackground";
  static constexpr const char* kDidReceiveMemoryWarning = "ApplicationDidReceiveMemoryWarning";
  // Headphones plugged in or out: the keep-alive sound has to start again.
  static constexpr const char* kAudioRouteChange = "AudioRouteChange";
};

}  // namespace twig
