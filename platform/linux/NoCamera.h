#pragma once

#include "platform/Camera.h"

namespace twig {

// A desktop computer has no camera the agent may use: the camera cell of the photo picker does nothing.
class NoCamera final : public Camera {
 public:
  bool isAvailable() const override { return false; }
  void takePicture(std::function<void(ImageRef)>) override {}
};

}  // namespace twig
