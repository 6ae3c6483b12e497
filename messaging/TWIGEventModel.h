#pragma once

#include <optional>
#include <string>

#include "api/TWIGBaseModel.h"

namespace twig {

// One received command payload on its way to its handler. Dispatching runs on the thread that
// delivers the payload (the push channel's, or the main loop for pulled messages).
class TWIGEventModel final : public TWIGBaseModel {
 public:
  std::optional<std::string> eventPayload;

  TWIGEventModel() = default;
  explicit TWIGEventModel(std::string payload) : eventPayload(std::move(payload)) {}

  // Dispatches `text` and posts the notification named after the command.
  static void eventMessage(const std::string& text);
  void postEventMessage() const;
  // Decodes, resolves and runs the handler; the name to post under, nothing when the payload is not
  // a JSON object with a key (or a notice without a type).
  std::optional<std::string> eventName() const;
  // The payload as a JSON object; nothing when it is not one.
  std::optional<Json> fetchEventMessagePayload() const;
  // "bills" marks new bills for the home page; other notices change nothing.
  static void eventNotification(const std::string& type);

  static constexpr const char* kNoticeKey = "EventNotification";

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
