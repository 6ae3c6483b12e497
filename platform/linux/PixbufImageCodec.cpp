#include "platform/linux/PixbufImageCodec.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace twig {

namespace {

struct ObjectUnref {
  void operator()(gpointer object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
using PixbufPtr = std::unique_ptr<GdkPixbuf, ObjectUnref>;
using LoaderPtr = std::unique_ptr<GdkPixbufLoader, ObjectUnref>;

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

// Copies any 8-bit RGB(A) pixbuf into tightly packed RGBA rows.
ImageRef toImage(GdkPixbuf* pixbuf) {
  if (pixbuf == nullptr || gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8)
    return nullptr;
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  if (channels != 3 && channels != 4) return nullptr;
  auto image = std::make_shared<Image>();
  image->width = gdk_pixbuf_get_width(pixbuf);
  image->height = gdk_pixbuf_get_height(pixbuf);
  if (image->width <= 0 || image->height <= 0) return nullptr;
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  image->rgba.resize(static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4);
  std::uint8_t* out = image->rgba.data();
  for (int y = 0; y < image->height; ++y) {
    const guchar* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < image->width; ++x, out += 4) {
      const guchar* pixel = row + static_cast<std::ptrdiff_t>(x) * channels;
      out[0] = pixel[0];
      out[1] = pixel[1];
      out[2] = pixel[2];
      out[3] = channels == 4 ? pixel[3] : 255;
    }
  }
  return image;
}

// A pixbuf over the image's own bytes (no copy); valid while `image` lives.
PixbufPtr wrap(const Image& image) {
  if (!image.isValid()) return nullptr;
  return PixbufPtr(gdk_pixbuf_new_from_data(image.rgba.data(), GDK_COLORSPACE_RGB, TRUE, 8, image.width,
                                            image.height, image.width * 4, nullptr, nullptr));
}

std::optional<std::string> save(const Image& image, const char* type, const char* key, const char* value) {
  PixbufPtr pixbuf = wrap(image);
  if (!pixbuf) return std::nullopt;
  gchar* buffer = nullptr;
  gsize size = 0;
  GError* error = nullptr;
  const gboolean saved = key != nullptr
                             ? gdk_pixbuf_save_to_buffer(pixbuf.get(), &buffer, &size, type, &error, key,
                                                         value, static_cast<char*>(nullptr))
                             : gdk_pixbuf_save_to_buffer(pixbuf.get(), &buffer, &size, type, &error,
                                                         static_cast<char*>(nullptr));
  ErrorPtr failure(error);
  if (!saved || buffer == nullptr) {
    g_free(buffer);
    return std::nullopt;
  }
  std::string bytes(buffer, size);
  g_free(buffer);
  return bytes;
}

}  // namespace

ImageRef PixbufImageCodec::decodeFile(const std::filesystem::path& file, int maxSide) {
  const std::string name = file.string();
  int width = 0;
  int height = 0;
  if (gdk_pixbuf_get_file_info(name.c_str(), &width, &height) == nullptr || width <= 0 || height <= 0)
    return nullptr;
  GError* error = nullptr;
  PixbufPtr loaded;
  if (maxSide > 0 && std::max(width, height) > maxSide) {
    // Scaled while decoding: JPEG photos are then read at a fraction of their size, far faster.
    loaded.reset(gdk_pixbuf_new_from_file_at_scale(name.c_str(), maxSide, maxSide, TRUE, &error));
  } else {
    loaded.reset(gdk_pixbuf_new_from_file(name.c_str(), &error));
  }
  ErrorPtr failure(error);
  if (!loaded) return nullptr;
  // Cameras store pictures as the sensor saw them and record how to turn them upright.
  PixbufPtr upright(gdk_pixbuf_apply_embedded_orientation(loaded.get()));
  return toImage(upright ? upright.get() : loaded.get());
}

ImageRef PixbufImageCodec::decode(std::string_view bytes) {
  LoaderPtr loader(gdk_pixbuf_loader_new());
  GError* error = nullptr;
  const bool written = gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()),
                                               bytes.size(), &error) != FALSE;
  ErrorPtr writeFailure(error);
  error = nullptr;
  // Closed in every case: a loader dropped while open complains on the terminal.
  const bool closed = gdk_pixbuf_loader_close(loader.get(), &error) != FALSE;
  ErrorPtr closeFailure(error);
  if (!written || !closed) return nullptr;
  return toImage(gdk_pixbuf_loader_get_pixbuf(loader.get()));
}

std::optional<std::string> PixbufImageCodec::encodeJpeg(const Image& image, int quality) {
  const std::string value = std::to_string(std::clamp(quality, 1, 100));
  return save(image, "jpeg", "quality", value.c_str());
}

std::optional<std::string> PixbufImageCodec::encodePng(const Image& image) {
  return save(image, "png", nullptr, nullptr);
}

}  // namespace twig
