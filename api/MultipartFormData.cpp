#include "api/MultipartFormData.h"

namespace twig {

void MultipartFormData::appendPartWithFileData(std::string data, std::string name, std::string fileName,
                                               std::string mimeType) {
  parts_.push_back({std::move(name), std::move(data), std::move(fileName), std::move(mimeType)});
}

void MultipartFormData::appendPartWithFormData(std::string data, std::string name) {
  parts_.push_back({std::move(name), std::move(data), std::nullopt, std::nullopt});
}

}  // namespace twig
