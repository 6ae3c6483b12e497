#pragma once

#include <functional>

#include "platform/Image.h"

namespace twig {

// The device's camera, opened with editing allowed. Main loop only.
class Camera {
 public:
  virtual ~Camera() = default;
  virtual bool isAvailable() const = 0;
  // Opens the camera; `done` runs on the main loop with the taken (edited) picture, or with null
  // when the child cancelled. Never called back when the camera is not available.
  virtual void takePicture(std::function<void(ImageRef picture)> done) = 0;
};

}  // namespace twig
