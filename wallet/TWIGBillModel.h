#pragma once

#include <optional>
#include <string>
#include <vector>

#include "api/TWIGBaseModel.h"
#include "api/TWIGError.h"
#include "platform/Json.h"

namespace twig {

// What a bill's points were for.
class TWIGSubjectModel final : public TWIGBaseModel {
 public:
  std::optional<std::string> name;
  std::optional<Json> type;
  std::optional<std::string> iconUrl;
  std::optional<std::string> subjectId;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

// A picture attached to a bill, as the upload answered it ("high" is the height).
class TWIGPictures final : public TWIGBaseModel {
 public:
  std::optional<std::string> fileUrl;
  std::optional<std::string> fileMd5;
  std::optional<Json> width;
  std::optional<Json> high;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

// A parent's comment on a bill.
class TWIGComments final : public TWIGBaseModel {
 public:
  std::optional<std::string> commentId;
  std::optional<std::string> comment;
  std::optional<std::string> thisDN;
  std::optional<Json> createTime;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

// One points movement: a housework task, a special reward or an exchange. Its subject, pictures
// and comments are kept as the mapped records' JSON (so that the object cache archives them with
// the bill) and read back typed.
class TWIGBillModel final : public TWIGBaseModel {
 public:
  std::optional<std::string> billId;
  std::optional<std::string> childDeviceId;
  std::optional<std::string> parentDN;
  std::optional<Json> type;
  std::optional<Json> subject;   // a TWIGSubjectModel's members
  std::optional<Json> pictures;  // TWIGPictures records; never null once mapped
  std::optional<Json> comments;  // TWIGComments records; never null once mapped
  std::optional<Json> bonuspoint;
  std::optional<Json> status;  // 1 completed, 2 refused, anything else not yet handled
  std::optional<Json> createTime;
  std::optional<Json> updateTime;
  std::optional<std::string> descriptions;  // JSON "description"

  // A bill of the service's answer: the plain mapping, then the subject, pictures and comments
  // mapped as their own records (null or missing lists become empty). Nothing, and `error` set,
  // when the answer is no record.
  static std::optional<TWIGBillModel> fromAnswer(const Json& bill, std::optional<TWIGError>& error);

  std::optional<TWIGSubjectModel> subjectModel() const;
  std::vector<TWIGPictures> pictureList() const;
  std::vector<TWIGComments> commentList() const;
  std::int64_t statusValue() const;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
