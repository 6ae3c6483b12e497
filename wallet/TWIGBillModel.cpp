#include "wallet/TWIGBillModel.h"

#include "api/TWIGUtils.h"

namespace twig {

namespace {

template <class Record>
Json mappedList(const std::optional<Json>& list) {
  Json mapped = Json::array();
  if (!list || !list->is_array()) return mapped;
  for (const auto& element : *list) {
    if (auto record = TWIGBaseModel::fetchModelOfClass<Record>(element))
      mapped.push_back(TWIGBaseModel::fetchFromModel(*record));
  }
  return mapped;
}

template <class Record>
std::vector<Record> typedList(const std::optional<Json>& list) {
  std::vector<Record> records;
  if (!list || !list->is_array()) return records;
  for (const auto& element : *list) {
    if (auto record = TWIGBaseModel::fetchModelOfClass<Record>(element))
      records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace

const ModelClass& TWIGSubjectModel::staticModelClass() {
  using M = TWIGSubjectModel;
  static const ModelClass modelClass("TWIGSubjectModel",
                                     {
                                         textField("name", &M::name),
                                         numberField("type", &M::type),
                                         textField("iconUrl", &M::iconUrl),
                                         textField("subjectId", &M::subjectId),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

const ModelClass& TWIGPictures::staticModelClass() {
  using M = TWIGPictures;
  static const ModelClass modelClass("TWIGPictures",
                                     {
                                         textField("fileUrl", &M::fileUrl),
                                         textField("fileMd5", &M::fileMd5),
                                         numberField("width", &M::width),
                                         numberField("high", &M::high),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

const ModelClass& TWIGComments::staticModelClass() {
  using M = TWIGComments;
  static const ModelClass modelClass("TWIGComments",
                                     {
                                         textField("commentId", &M::commentId),
                                         textField("comment", &M::comment),
                                         textField("thisDN", &M::thisDN),
                                         numberField("createTime", &M::createTime),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

const ModelClass& TWIGBillModel::staticModelClass() {
  using M = TWIGBillModel;
  static const ModelClass modelClass("TWIGBillModel",
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

std::optional<TWIGBillModel> TWIGBillModel::fromAnswer(const Json& bill, std::optional<TWIGError>& error) {
  auto model = fetchModelOfClass<TWIGBillModel>(bill);
  if (!model) {
    error = TWIGError{"error", 0, "a bill is no record"};
    return std::nullopt;
  }
  if (auto subject = model->subject ? fetchModelOfClass<TWIGSubjectModel>(*model->subject) : std::nullopt) {
    model->subject = fetchFromModel(*subject);
  } else {
    model->subject.reset();
  }
  model->pictures = mappedList<TWIGPictures>(model->pictures);
  model->comments = mappedList<TWIGComments>(model->comments);
  return model;
}

std::optional<TWIGSubjectModel> TWIGBillModel::subjectModel() const {
  return subject ? fetchModelOfClass<TWIGSubjectModel>(*subject) : std::nullopt;
}

std::vector<TWIGPictures> TWIGBillModel::pictureList() const {
  return typedList<TWIGPictures>(pictures);
}

std::vector<TWIGComments> TWIGBillModel::commentList() const {
  return typedList<TWIGComments>(comments);
}

std::int64_t TWIGBillModel::statusValue() const {
  return status ? TWIGUtils::integerValue(*status) : 0;
}

}  // namespace twig
