#include "frame/ScreenHost.h"

namespace twig {

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

}  // namespace twig
