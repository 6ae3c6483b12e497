#include "messaging/TWIGEventModel.h"

#include <memory>

#include "api/TWIGUtils.h"
#include "identity/TWIGChildUser.h"
#include "messaging/TWIGBaseMessage.h"
#include "platform/NotificationCenter.h"
#include "platform/Ports.h"
#include "storage/TWIGCache.h"

namespace twig {

const ModelClass& TWIGEventModel::staticModelClass() {
  using M = TWIGEventModel;
  static const ModelClass modelClass("TWIGEventModel", {textField("eventPayload", &M::eventPayload)},
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

void TWIGEventModel::eventMessage(const std::string& text) {
  auto model = std::make_shared<const TWIGEventModel>(text);
  model->postEventMessage();
}

void TWIGEventModel::postEventMessage() const {
  const auto name = eventName();
  if (!name) return;
  port::notifications().post(*name, std::make_shared<const TWIGEventModel>(*this));
}

std::optional<Json> TWIGEventModel::fetchEventMessagePayload() const {
  if (!eventPayload) return std::nullopt;
  auto payload = TWIGUtils::jsonWithString(*eventPayload);
  if (!payload || !payload->is_object()) return std::nullopt;
  return payload;
}

std::optional<std::string> TWIGEventModel::eventName() const {
  const auto payload = fetchEventMessagePayload();
  if (!payload || payload->empty()) return std::nullopt;
  // A payload has one top-level key; with more, the first one written counts.
  std::string name = payload->begin().key();
  if (name == kNoticeKey) {
    const Json& notice = payload->begin().value();
    auto type = notice.is_object() ? notice.find("type") : notice.end();
    if (!notice.is_object() || type == notice.end() || !type->is_string()) return std::nullopt;
    name = type->get<std::string>();
    eventNotification(name);
  }
  if (auto handler = TWIGBaseMessage::messageStatus(name)) handler->receiveMessagePayload(*payload);
  return name;
}

void TWIGEventModel::eventNotification(const std::string& type) {
  if (type == "bills") TWIGCache::setObjectValue(CacheObject(Json(1)), TWIGChildUser::kBillsNumberKey);
}

}  // namespace twig
