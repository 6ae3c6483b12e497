#pragma once

#include <string>
#include <vector>

#include "api/HttpTransport.h"

namespace twig {

// The body builder handed to a multipart POST's body callback.
class MultipartFormData {
 public:
  void appendPartWithFileData(std::string data, std::string name, std::string fileName, std::string mimeType);
  void appendPartWithFormData(std::string data, std::string name);
  const std::vector<HttpFormPart>& parts() const { return parts_; }
  std::vector<HttpFormPart> takeParts() { return std::move(parts_); }

 private:
  std::vector<HttpFormPart> parts_;
};

}  // namespace twig
