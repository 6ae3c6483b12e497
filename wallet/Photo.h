#pragma once

#include <optional>
#include <string>

#include "api/Model.h"
#include "platform/Image.h"

namespace twig {

// One picture in the photo picker and in the strip of a special reward: a library photo (known by
// its address) or a camera photo. `thumbnail` is what is later uploaded: nothing while a library
// photo is only listed in the picker (a screen draws it from its address), its screen-sized
// version once the pick is confirmed, the picture itself for a camera photo. Pictures are not
// JSON, so only the other members are mapped.
class Photo final : public Model {
 public:
  // The address of every camera photo.
  static constexpr const char* kCameraAddress = "拍照";

  std::optional<std::string> url;
  bool isHidden = false;  // selected in the picker
  bool isTakePhone = false;
  ImageRef thumbnail;

  static Photo cameraPhoto(ImageRef picture);
  static Photo libraryPhoto(std::string address, ImageRef thumbnail);
  // What a screen shows of it: {"url", "isTakePhone", "width", "height"} (0 × 0 without a picture).
  Json displayState() const;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
