#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace twig {

// The user's saved photos. A photo is known by its address (a text the library gives out and takes
// back). Reads files, so callers keep it off the main loop.
class PhotoLibrary {
 public:
  virtual ~PhotoLibrary() = default;
  // The photos' addresses, newest first; nothing when the library refuses access.
  virtual std::optional<std::vector<std::string>> photos() = 0;
  // A small version for a grid cell; null when the photo cannot be read.
  virtual ImageRef thumbnail(const std::string& address) = 0;
  // A version the size of a screen; null when the photo cannot be read.
  virtual ImageRef fullScreenImage(const std::string& address) = 0;
};

}  // namespace twig
