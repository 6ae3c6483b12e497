#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Image.h"

namespace twig {

// Reads and writes picture files through the platform's image library. Safe to use from several
// threads at once.
class ImageCodec {
 public:
  virtual ~ImageCodec() = default;
  // The picture in a file, turned upright as its camera recorded it and scaled down (never up) to
  // fit a square of `maxSide` pixels; 0 keeps its size. Null when the file is not a readable picture.
  virtual ImageRef decodeFile(const std::filesystem::path& file, int maxSide) = 0;
  // The picture in encoded bytes (any format the library reads); null when they are none.
  virtual ImageRef decode(std::string_view bytes) = 0;
  // JPEG bytes at `quality` (1 to 100); nothing when the picture cannot be encoded.
  virtual std::optional<std::string> encodeJpeg(const Image& image, int quality) = 0;
  virtual std::optional<std::string> encodePng(const Image& image) = 0;
};

}  // namespace twig
