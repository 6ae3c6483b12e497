#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "api/Error.h"
#include "platform/Image.h"
#include "wallet/Photo.h"

namespace twig {

struct Ports;

// The saved photos for the picker. The library reads and decodes files, so the work runs on the
// background pool; the callbacks run on the main loop.
class PhotoStore {
 public:
  using PhotosCallback = std::function<void(const std::optional<Error>& error, std::vector<Photo> photos)>;
  using ImageCallback = std::function<void(const std::optional<Error>& error, ImageRef image)>;

  // Every saved photo, newest first, marked selected when its address equals that of one of
  // `chosen`; no thumbnails are decoded (a screen draws them from the addresses). Access refused:
  // the error (domain "请允许刺猬家访问您的照片") and no list.
  static void fetchPhotosWithSelectedImages(const Ports& ports, const std::vector<Photo>& chosen,
                                            PhotosCallback complete);
  // The screen-sized version of one saved photo.
  static void fetchfullResolutionImageWithURL(const Ports& ports, const std::string& address,
                                              ImageCallback complete);
};

}  // namespace twig
