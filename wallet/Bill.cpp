#include "wallet/Bill.h"

#include "api/Utils.h"
#include "storage/StoredNames.h"

namespace twig {

namespace {

template <class Record>
Json mappedList(const std::optional<Json>& list) {
  Json mapped = Json::array();
  if (!list || !list->is_array()) return mapped;
  for (const auto& element : *list) {
    if (auto record = Model::fetchModelOfClass<Record>(element))
      mapped.push_back(Model::fetchFromModel(*record));
  }
  return mapped;
}

template <class Record>
std::vector<Record> typedList(const std::optional<Json>& list) {
  std::vector<Record> records;
  if (!list || !list->is_array()) return records;
  for (const auto& element : *list) {
    if (auto record = Model::fetchModelOfClass<Record>(element)) records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace

const ModelClass& BillSubject::staticModelClass() {
  using M = BillSubject;
  static const ModelClass modelClass(stored::kBillSubjectClass,
                                     {
                                         textField("name", &M::name),
                                         numberField("type", &M::type),
                                         textField("iconUrl", &M::iconUrl),
                                         textField("subjectId", &M::subjectId),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

const ModelClass& BillPicture::staticModelClass() {
  using M = BillPicture;
  static const ModelClass modelClass(stored::kBillPictureClass,
                                     {
                                         textField("fileUrl", &M::fileUrl),
                                         textField("fileMd5", &M::fileMd5),
                                         numberField("width", &M::width),
                                         numberField("high", &M::high),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

const ModelClass& BillComment::staticModelClass() {
  using M = BillComment;
  static const ModelClass modelClass(stored::kBillCommentClass,
                                     {
                                         textField("commentId", &M::commentId),
                                         textField("comment", &M::comment),
                                         textField("thisDN", &M::thisDN),
                                         numberField("createTime", &M::createTime),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

const ModelClass& Bill::staticModelClass() {
  using M = Bill;
  static const ModelClass modelClass(stored::kBillClass,
                                     {
                                         textField("billId", &M::billId),
                                         textField("childDeviceId", &M::childDeviceId),
                                         textField("parentDN", &M::parentDN),
                                         numberField("type", &M::type),
                                         valueField("subject", &M::subject),
                                         valueField("pictures", &M::pictures),
                                         valueField("comments", &M::comments),
                                         numberField("bonuspoint", &M::bonuspoint),
                                         numberField("status", &M::status),
                                         numberField("createTime", &M::createTime),
                                         numberField("updateTime", &M::updateTime),
                                         textField("descriptions", &M::descriptions, "description"),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

std::optional<Bill> Bill::fromAnswer(const Json& bill, std::optional<Error>& error) {
  auto model = fetchModelOfClass<Bill>(bill);
  if (!model) {
    error = Error{"error", 0, "a bill is no record"};
    return std::nullopt;
  }
  if (auto subject = model->subject ? fetchModelOfClass<BillSubject>(*model->subject) : std::nullopt) {
    model->subject = fetchFromModel(*subject);
  } else {
    model->subject.reset();
  }
  model->pictures = mappedList<BillPicture>(model->pictures);
  model->comments = mappedList<BillComment>(model->comments);
  return model;
}

std::optional<BillSubject> Bill::subjectModel() const {
  return subject ? fetchModelOfClass<BillSubject>(*subject) : std::nullopt;
}

std::vector<BillPicture> Bill::pictureList() const {
  return typedList<BillPicture>(pictures);
}

std::vector<BillComment> Bill::commentList() const {
  return typedList<BillComment>(comments);
}

std::int64_t Bill::statusValue() const {
  return status ? Utils::integerValue(*status) : 0;
}

}  // namespace twig
