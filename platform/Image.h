#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace twig {

// A decoded picture: 8-bit RGBA pixels, rows top to bottom with no padding. Pictures are shared
// read-only between screens and workers, so they travel as ImageRef.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

  bool isValid() const {
    return width > 0 && height > 0 &&
           rgba.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  }
};

using ImageRef = std::shared_ptr<const Image>;

}  // namespace twig
