#pragma once

#include "frame/Services.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Image.h"
#include "platform/Json.h"

namespace twig {

// Uploads a special reward's pictures to "file/pictures", two at a time: each is encoded as a JPEG
// on the background pool, then sent as a multipart POST. Every upload ends in success or failure;
// when all have ended, `done` receives the picture records of the successful ones, in the order of
// the pictures. Runs on the main loop and keeps itself alive until then.
class PictureUploads : public std::enable_shared_from_this<PictureUploads> {
 public:
  static constexpr const char* kPath = "file/pictures";
  static constexpr std::size_t kInFlight = 2;
  // Low, to keep uploads small on a child's connection, yet a photo stays plainly recognisable.
  static constexpr int kJpegQuality = 30;

  // A picture record: {"fileUrl", "fileMd5"} of the answer and the "width" and "high" sent.
  using Done = std::function<void(std::vector<Json> records)>;
  using Failed = std::function<void()>;

  // `failed` runs once for each picture that could not be uploaded.
  static void start(Services services, std::vector<ImageRef> pictures, Failed failed, Done done);

 private:
  Services services_;
  PictureUploads(Services services, std::vector<ImageRef> pictures, Failed failed, Done done);
  void launchNext();
  void upload(std::size_t index, std::string jpeg);
  void finished(std::size_t index, std::optional<Json> record);

  std::vector<ImageRef> pictures_;
  Failed failed_;
  Done done_;
  std::vector<std::optional<Json>> records_;
  std::size_t next_ = 0;
  std::size_t ended_ = 0;
};

}  // namespace twig
