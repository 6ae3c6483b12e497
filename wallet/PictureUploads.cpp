#include "wallet/PictureUploads.h"

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "platform/BackgroundPool.h"
#include "platform/ImageCodec.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"

namespace twig {

PictureUploads::PictureUploads(Services services, std::vector<ImageRef> pictures, Failed failed, Done done)
    : services_(services),
      pictures_(std::move(pictures)),
      failed_(std::move(failed)),
      done_(std::move(done)),
      records_(pictures_.size()) {}

void PictureUploads::start(Services services, std::vector<ImageRef> pictures, Failed failed, Done done) {
  std::shared_ptr<PictureUploads> uploads(
      new PictureUploads(services, std::move(pictures), std::move(failed), std::move(done)));
  if (uploads->pictures_.empty()) {
    uploads->done_({});
    return;
  }
  for (std::size_t i = 0; i < kInFlight; ++i) uploads->launchNext();
}

void PictureUploads::launchNext() {
  if (next_ >= pictures_.size()) return;
  const std::size_t index = next_++;
  ImageRef picture = pictures_[index];
  if (!picture || !picture->isValid()) {
    finished(index, std::nullopt);
    return;
  }
  ImageCodec& codec = services_.ports.imageCodec;
  MainLoop& loop = services_.ports.mainLoop;
  auto self = shared_from_this();
  services_.ports.backgroundPool.submit([self, index, picture, &codec, &loop] {
    auto jpeg = codec.encodeJpeg(*picture, kJpegQuality);
    loop.post([self, index, jpeg = std::move(jpeg)]() mutable {
      if (!jpeg) {
        self->finished(index, std::nullopt);
      } else {
        self->upload(index, std::move(*jpeg));
      }
    });
  });
}

void PictureUploads::upload(std::size_t index, std::string jpeg) {
  const Image& picture = *pictures_[index];
  Json parameters = Json::object();
  parameters["expiration"] = 0;
  parameters["width"] = picture.width;
  parameters["high"] = picture.height;
  auto self = shared_from_this();
  const int width = picture.width;
  const int height = picture.height;
  services_.api.POST(
      kPath, parameters,
      [jpeg = std::move(jpeg)](MultipartFormData& formData) {
        formData.appendPartWithFileData(jpeg, "file", "name.", "image/jpeg");
      },
      [self, index, width, height](const ApiClient::Operation&, const std::optional<Json>& answer) {
        // Only an answer that says where the picture is counts: a record without an address
        // would show the parent nothing.
        const std::string fileUrl = answer ? Utils::stringValue(*answer, "fileUrl") : std::string();
        if (fileUrl.empty()) return self->finished(index, std::nullopt);
        Json record = Json::object();
        record["fileUrl"] = fileUrl;
        record["fileMd5"] = Utils::stringValue(*answer, "fileMd5");
        record["width"] = width;
        record["high"] = height;
        self->finished(index, std::move(record));
      },
      [self, index](const ApiClient::Operation&, const Error&) { self->finished(index, std::nullopt); });
}

void PictureUploads::finished(std::size_t index, std::optional<Json> record) {
  if (!record && failed_) failed_();
  records_[index] = std::move(record);
  ++ended_;
  if (ended_ < pictures_.size()) {
    launchNext();
    return;
  }
  std::vector<Json> records;
  for (auto& entry : records_) {
    if (entry) records.push_back(std::move(*entry));
  }
  done_(std::move(records));
}

}  // namespace twig
