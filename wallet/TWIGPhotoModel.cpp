#include "wallet/TWIGPhotoModel.h"

namespace twig {

TWIGPhotoModel TWIGPhotoModel::cameraPhoto(ImageRef picture) {
  TWIGPhotoModel model;
  model.url = kCameraAddress;
  model.isTakePhone = true;
  model.thumbnail = std::move(picture);
  return model;
}

TWIGPhotoModel TWIGPhotoModel::libraryPhoto(std::string address, ImageRef thumbnail) {
  TWIGPhotoModel model;
  model.url = std::move(address);
  model.thumbnail = std::move(thumbnail);
  return model;
}

Json TWIGPhotoModel::displayState() const {
  Json state = Json::object();
  state["url"] = url.value_or("");
  state["isTakePhone"] = isTakePhone;
  state["width"] = thumbnail ? thumbnail->width : 0;
  state["height"] = thumbnail ? thumbnail->height : 0;
  return state;
}

const ModelClass& TWIGPhotoModel::staticModelClass() {
  using M = TWIGPhotoModel;
  static const ModelClass modelClass("TWIGPhotoModel",
                                     {
                                         textField("url", &M::url),
                                         booleanField("isHidden", &M::isHidden),
                                         booleanField("isTakePhone", &M::isTakePhone),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
