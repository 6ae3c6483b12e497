#pragma once

#include <filesystem>

#include "platform/InstalledApplications.h"

namespace twig {

// The installed applications listed in a JSON file: an array of {"bundleId", "bundleExecutable",
// "displayName"} records (for development and tests on machines without an application store).
// Read afresh on every fetch, so that edits show up as installations and removals; records without
// all three texts are skipped.
class JsonFileInstalledApplications final : public InstalledApplications {
 public:
  explicit JsonFileInstalledApplications(std::filesystem::path file) : file_(std::move(file)) {}
  std::optional<Json> fetch() override;

 private:
  std::filesystem::path file_;
};

}  // namespace twig
