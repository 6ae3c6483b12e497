#pragma once

#include <filesystem>

namespace twig {

// Where the application keeps its files.
class Directories {
 public:
  virtual ~Directories() = default;
  virtual std::filesystem::path caches() = 0;
  virtual std::filesystem::path documents() = 0;
  virtual std::filesystem::path preferences() = 0;
};

}  // namespace twig
