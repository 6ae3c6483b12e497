#pragma once

namespace twig {

// The shared cache of downloaded pictures (application icons, bill photos). Only its disk part is
// managed by the core: the unbinding reset clears it.
class ImageDownloadCache {
 public:
  virtual ~ImageDownloadCache() = default;
  virtual void clearDisk() = 0;
};

}  // namespace twig
