#include "wallet/PhotoStore.h"

#include <set>

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "platform/BackgroundPool.h"
#include "platform/MainLoop.h"
#include "platform/PhotoLibrary.h"
#include "platform/Ports.h"

namespace twig {

void PhotoStore::fetchPhotosWithSelectedImages(const Ports& ports, const std::vector<Photo>& chosen,
                                               PhotosCallback complete) {
  std::set<std::string> chosenAddresses;
  for (const auto& model : chosen) {
    if (model.url) chosenAddresses.insert(*model.url);
  }
  PhotoLibrary& library = ports.photoLibrary;
  MainLoop& loop = ports.mainLoop;
  ports.backgroundPool.submit([&library, &loop, chosenAddresses = std::move(chosenAddresses),
                               complete = std::move(complete)]() mutable {
    auto addresses = library.photos();
    if (!addresses) {
      loop.post([complete = std::move(complete)] {
        complete(Error{Error::kPhotoAccessRefused, 0, "the photo library refused access"}, {});
      });
      return;
    }
    // Only addresses: decoding a thumbnail of every photo up front would cost seconds and megabytes
    // for a full folder, and the grid draws each cell from its address as it scrolls into view.
    std::vector<Photo> photos;
    photos.reserve(addresses->size());
    for (auto& address : *addresses) {
      Photo model = Photo::libraryPhoto(std::move(address), nullptr);
      model.isHidden = chosenAddresses.count(*model.url) > 0;
      photos.push_back(std::move(model));
    }
    loop.post([complete = std::move(complete), photos = std::move(photos)]() mutable {
      complete(std::nullopt, std::move(photos));
    });
  });
}

void PhotoStore::fetchfullResolutionImageWithURL(const Ports& ports, const std::string& address,
                                                 ImageCallback complete) {
  PhotoLibrary& library = ports.photoLibrary;
  MainLoop& loop = ports.mainLoop;
  ports.backgroundPool.submit([&library, &loop, address, complete = std::move(complete)]() mutable {
    ImageRef image = library.fullScreenImage(address);
    loop.post([complete = std::move(complete), image = std::move(image), address] {
      if (!image) {
        complete(Error{Error::kPhotoUnreadable, 0, "cannot read " + address}, nullptr);
      } else {
        complete(std::nullopt, image);
      }
    });
  });
}

}  // namespace twig
