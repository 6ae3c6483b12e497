#pragma once

#include <functional>
#include <utility>

#include "platform/Camera.h"

namespace twig {

// A camera the test works by hand: it counts openings and returns what the test gives it.
class FakeCamera final : public Camera {
 public:
  bool available = true;
  int openings = 0;

  bool isAvailable() const override { return available; }
  void takePicture(std::function<void(ImageRef)> done) override {
    ++openings;
    pending_ = std::move(done);
  }
  bool isOpen() const { return static_cast<bool>(pending_); }
  // The child took a picture (or cancelled, with null).
  void finish(ImageRef picture) {
    auto done = std::move(pending_);
    pending_ = nullptr;
    if (done) done(std::move(picture));
  }

 private:
  std::function<void(ImageRef)> pending_;
};

}  // namespace twig
