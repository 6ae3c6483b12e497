#include "frame/ScreenHost.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace twig {

namespace {
std::atomic<ScreenHost*> installed{nullptr};
}  // namespace

const char* overlayKindName(OverlayKind kind) {
  switch (kind) {
    case OverlayKind::Success:
      return "success";
    case OverlayKind::Error:
      return "error";
    case OverlayKind::Warning:
      return "warning";
    case OverlayKind::Progress:
      return "progress";
  }
  return "message";
}

void ScreenHost::install(ScreenHost* host) {
  installed.store(host);
}

ScreenHost* ScreenHost::current() {
  return installed.load();
}

namespace port {
ScreenHost& screenHost() {
  ScreenHost* host = installed.load();
  if (host == nullptr) {
    std::fprintf(stderr, "twig: the screen host port is used before it was installed\n");
    std::abort();
  }
  return *host;
}
}  // namespace port

}  // namespace twig
