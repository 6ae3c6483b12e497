#pragma once

#include "platform/ImageCodec.h"

namespace twig {

// Pictures through GDK-Pixbuf: JPEG, PNG, GIF, TIFF, WebP and the other formats its loaders know.
class PixbufImageCodec final : public ImageCodec {
 public:
  ImageRef decodeFile(const std::filesystem::path& file, int maxSide) override;
  ImageRef decode(std::string_view bytes) override;
  std::optional<std::string> encodeJpeg(const Image& image, int quality) override;
  std::optional<std::string> encodePng(const Image& image) override;
};

}  // namespace twig
