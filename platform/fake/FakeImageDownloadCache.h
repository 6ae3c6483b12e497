#pragma once

#include <atomic>

#include "platform/ImageDownloadCache.h"

namespace twig {

// Counts the clears a test asked for.
class FakeImageDownloadCache final : public ImageDownloadCache {
 public:
  void clearDisk() override { ++clears_; }
  int clears() const { return clears_.load(); }

 private:
  std::atomic<int> clears_{0};
};

}  // namespace twig
