#pragma once

#include "platform/Directories.h"

namespace twig {

// The application's folders under one root: Caches, Documents and Preferences. Each is created
// when first asked for.
class DataDirectories final : public Directories {
 public:
  explicit DataDirectories(std::filesystem::path applicationRoot);
  std::filesystem::path caches() override;
  std::filesystem::path documents() override;
  std::filesystem::path preferences() override;
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path ensure(const char* name);
  std::filesystem::path root_;
};

}  // namespace twig
