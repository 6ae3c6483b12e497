// The functions the program finds in the window module by name (see app/WindowModule.h); the only
// symbols the module exports.
#include "app/WindowOptions.h"
#include "ui/WindowedAgent.h"

#define TWIG_WINDOW_EXPORT extern "C" __attribute__((visibility("default")))

TWIG_WINDOW_EXPORT int twig_window_interface() {
  return twig::kWindowModuleInterface;
}

TWIG_WINDOW_EXPORT int twig_window_run(int argc, char** argv, const twig::WindowOptions* options) {
  return twig::WindowedAgent::run(argc, argv, *options);
}

TWIG_WINDOW_EXPORT int twig_window_screenshots(int argc, char** argv, const char* folder, int width,
                                               int height) {
  return twig::WindowedAgent::screenshots(argc, argv, folder, width, height);
}
