#include "app/WindowModule.h"

#include <dlfcn.h>

#include <cstdlib>
#include <system_error>

#include "BuildConfig.h"

namespace twig {

namespace {

// The entry points the module exports with C names, so that no C++ mangling ties the two builds.
constexpr const char* kInterfaceSymbol = "twig_window_interface";
constexpr const char* kRunSymbol = "twig_window_run";
constexpr const char* kScreenshotsSymbol = "twig_window_screenshots";

}  // namespace

std::vector<std::filesystem::path> WindowModule::candidates() {
  std::vector<std::filesystem::path> paths;
  if (const char* named = std::getenv("TWIG_WINDOW_MODULE"); named != nullptr && *named != '\0') {
    paths.emplace_back(named);
    return paths;
  }
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return paths;
  const auto folder = program.parent_path();
  paths.push_back(folder / build::kWindowModuleName);
  paths.push_back(
      (folder / build::kWindowModuleFolderFromProgram / build::kWindowModuleName).lexically_normal());
  return paths;
}

WindowModule::WindowModule() {
  const auto paths = candidates();
  for (const auto& path : paths) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) continue;
    // RTLD_LOCAL: the module's copy of the core and its Qt stay out of the program's name space.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
      const char* reason = dlerror();
      error_ = reason != nullptr ? reason : ("cannot load " + path.string());
      return;
    }
    using InterfaceFunction = int (*)();
    auto interface = reinterpret_cast<InterfaceFunction>(dlsym(handle_, kInterfaceSymbol));
    run_ = reinterpret_cast<RunFunction>(dlsym(handle_, kRunSymbol));
    screenshots_ = reinterpret_cast<ScreenshotsFunction>(dlsym(handle_, kScreenshotsSymbol));
    if (interface == nullptr || run_ == nullptr || screenshots_ == nullptr) {
      error_ = path.string() + " is not a window module of twig-child";
    } else if (interface() != kWindowModuleInterface) {
      error_ = path.string() + " belongs to another version of twig-child";
    } else {
      return;
    }
    dlclose(handle_);
    handle_ = nullptr;
    return;
  }
  error_ = "the window module " + std::string(build::kWindowModuleName) + " is not installed (looked in";
  for (const auto& path : paths) error_ += " " + path.parent_path().string();
  error_ += ")";
}

WindowModule::~WindowModule() {
  // Not unloaded: Qt leaves handlers behind (atexit, thread-local storage) that must find their code.
}

int WindowModule::run(int argc, char** argv, const WindowOptions& options) {
  return run_(argc, argv, &options);
}

int WindowModule::screenshots(int argc, char** argv, const std::string& folder, int width, int height) {
  return screenshots_(argc, argv, folder.c_str(), width, height);
}

bool WindowModule::displayAvailable() {
  for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace twig
