#pragma once

#include <optional>

#include "platform/Json.h"

namespace twig {

// The applications installed on the device: an array of {"bundleId", "bundleExecutable",
// "displayName"} records, or nothing when the platform supplies no list.
class InstalledApplications {
 public:
  virtual ~InstalledApplications() = default;
  virtual std::optional<Json> fetch() = 0;
};

}  // namespace twig
