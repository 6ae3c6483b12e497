#include "wallet/PhotoStrip.h"

#include <algorithm>

namespace twig {

void PhotoStrip::addTakePhone(ImageRef picture) {
  if (!picture || room() == 0) return;
  camera_.push_back(Photo::cameraPhoto(std::move(picture)));
}

void PhotoStrip::updateImagesArray(std::vector<Photo> models) {
  library_.clear();
  for (auto& model : models) addImageModel(std::move(model));
}

void PhotoStrip::addImageModel(Photo model) {
  if (room() == 0) return;
  const bool present = std::any_of(library_.begin(), library_.end(),
                                   [&model](const Photo& other) { return other.url == model.url; });
  if (present) return;
  model.isTakePhone = false;
  library_.push_back(std::move(model));
}

void PhotoStrip::removeImageAtIndex(std::size_t index) {
  if (index < library_.size()) library_.erase(library_.begin() + static_cast<std::ptrdiff_t>(index));
}

void PhotoStrip::removeTakePhotoAtIndex(std::size_t index) {
  if (index < camera_.size()) camera_.erase(camera_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::vector<ImageRef> PhotoStrip::fetchImages() const {
  std::vector<ImageRef> images;
  for (const auto& model : library_) images.push_back(model.thumbnail);
  for (const auto& model : camera_) images.push_back(model.thumbnail);
  return images;
}

std::vector<Photo> PhotoStrip::fetchAllImages() const {
  std::vector<Photo> all = camera_;
  all.insert(all.end(), library_.begin(), library_.end());
  return all;
}

Json PhotoStrip::state(bool tablet) const {
  Json thumbnails = Json::array();
  int tag = 0;
  for (const auto& model : fetchAllImages()) {
    Json thumbnail = Json::object();
    thumbnail["tag"] = tag++;
    thumbnail.update(model.displayState());
    thumbnails.push_back(std::move(thumbnail));
  }
  Json state = Json::object();
  state["columns"] = tablet ? 8 : 4;
  state["thumbnails"] = std::move(thumbnails);
  state["addButton"] = showsAddButton();
  return state;
}

}  // namespace twig
