#pragma once

#include <cstddef>
#include <vector>

#include "platform/Json.h"
#include "wallet/Photo.h"

namespace twig {

// The strip of pictures under a special reward's text: camera photos first, then library photos,
// in rows of four (eight on a tablet), followed by the add button. With eight pictures the eighth
// takes the add button's place, so no ninth can be added. A thumbnail's tag is its position in
// that display order. Uploads take the library photos first, then the camera photos.
class PhotoStrip {
 public:
  static constexpr std::size_t kMaxImages = 8;

  void addTakePhone(ImageRef picture);
  // Replaces the library photos with those confirmed in the picker.
  void updateImagesArray(std::vector<Photo> models);
  // Adds one library photo unless one with the same address is there.
  void addImageModel(Photo model);
  void removeImageAtIndex(std::size_t index);
  void removeTakePhotoAtIndex(std::size_t index);

  // Upload order: library photos, then camera photos.
  std::vector<ImageRef> fetchImages() const;
  const std::vector<Photo>& fetchImageModel() const { return library_; }
  const std::vector<Photo>& fetchTakePhotoModel() const { return camera_; }
  // Display order: camera photos, then library photos.
  std::vector<Photo> fetchAllImages() const;
  std::size_t count() const { return library_.size() + camera_.size(); }
  bool showsAddButton() const { return count() < kMaxImages; }

  // {"columns": 4 or 8, "thumbnails": [{"tag", "url", "isTakePhone", "width", "height"}], "addButton"}
  Json state(bool tablet) const;

 private:
  // The strip never holds more than eight pictures, whatever a caller hands it.
  std::size_t room() const { return kMaxImages - std::min(count(), kMaxImages); }

  std::vector<Photo> camera_;
  std::vector<Photo> library_;
};

}  // namespace twig
