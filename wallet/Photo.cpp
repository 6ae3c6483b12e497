#include "wallet/Photo.h"
#include "storage/StoredNames.h"

namespace twig {

Photo Photo::cameraPhoto(ImageRef picture) {
  Photo model;
  model.url = kCameraAddress;
  model.isTakePhone = true;
  model.thumbnail = std::move(picture);
  return model;
}

Photo Photo::libraryPhoto(std::string address, ImageRef thumbnail) {
  Photo model;
  model.url = std::move(address);
  model.thumbnail = std::move(thumbnail);
  return model;
}

Json Photo::displayState() const {
  Json state = Json::object();
  state["url"] = url.value_or("");
  state["isTakePhone"] = isTakePhone;
  state["width"] = thumbnail ? thumbnail->width : 0;
  state["height"] = thumbnail ? thumbnail->height : 0;
  return state;
}

const ModelClass& Photo::staticModelClass() {
  using M = Photo;
  static const ModelClass modelClass(stored::kPhotoClass,
                                     {
                                         textField("url", &M::url),
                                         booleanField("isHidden", &M::isHidden),
                                         booleanField("isTakePhone", &M::isTakePhone),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
