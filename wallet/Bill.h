#pragma once

#include <optional>
#include <string>
#include <vector>

#include "api/Error.h"
#include "api/Model.h"
#include "platform/Json.h"

namespace twig {

// What a bill's points were for.
class BillSubject final : public Model {
 public:
  std::optional<std::string> name;
  std::optional<Json> type;
  std::optional<std::string> iconUrl;
  std::optional<std::string> subjectId;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

// A picture attached to a bill, as the upload answered it ("high" is the height).
class BillPicture final : public Model {
 public:
  std::optional<std::string> fileUrl;
  std::optional<std::string> fileMd5;
  std::optional<Json> width;
  std::optional<Json> high;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

// A parent's comment on a bill.
class BillComment final : public Model {
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
class Bill final : public Model {
 public:
  std::optional<std::string> billId;
  std::optional<std::string> childDeviceId;
  std::optional<std::string> parentDN;
  std::optional<Json> type;
  std::optional<Json> subject;   // a BillSubject's members
  std::optional<Json> pictures;  // BillPicture records; never null once mapped
  std::optional<Json> comments;  // BillComment records; never null once mapped
  std::optional<Json> bonuspoint;
  std::optional<Json> status;  // 1 completed, 2 refused, anything else not yet handled
  std::optional<Json> createTime;
  std::optional<Json> updateTime;
  std::optional<std::string> descriptions;  // JSON "description"

  // A bill of the service's answer: the plain mapping, then the subject, pictures and comments
  // mapped as their own records (null or missing lists become empty). Nothing, and `error` set,
  // when the answer is no record.
  static std::optional<Bill> fromAnswer(const Json& bill, std::optional<Error>& error);

  std::optional<BillSubject> subjectModel() const;
  std::vector<BillPicture> pictureList() const;
  std::vector<BillComment> commentList() const;
  std::int64_t statusValue() const;

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
