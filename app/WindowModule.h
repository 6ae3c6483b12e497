#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/WindowOptions.h"

namespace twig {

// The window lives in a module of its own (twig-window.so), loaded only when a window is wanted:
// a headless agent then never maps Qt and its libraries, which are most of the window's memory.
// The module is looked for beside the program (a build folder), then in the library folder of an
// installation, unless TWIG_WINDOW_MODULE names it.
class WindowModule {
 public:
  // Loads the module; an explanation in error() when it cannot (not installed, Qt missing, another
  // version).
  WindowModule();
  ~WindowModule();
  WindowModule(const WindowModule&) = delete;
  WindowModule& operator=(const WindowModule&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }
  // The agent with its window; runs until the window closes or the process is asked to stop.
  int run(int argc, char** argv, const WindowOptions& options);
  // Draws every screen in its main states offscreen into `folder` as PNG files.
  int screenshots(int argc, char** argv, const std::string& folder, int width, int height);

  // Whether a window can be opened here: a Wayland or X11 display is named in the environment.
  static bool displayAvailable();
  // Where the module is looked for, in order.
  static std::vector<std::filesystem::path> candidates();

 private:
  using RunFunction = int (*)(int, char**, const WindowOptions*);
  using ScreenshotsFunction = int (*)(int, char**, const char*, int, int);

  void* handle_ = nullptr;
  RunFunction run_ = nullptr;
  ScreenshotsFunction screenshots_ = nullptr;
  std::string error_;
};

}  // namespace twig
