#pragma once

#include <optional>
#include <string>

#include "api/Model.h"
#include "messaging/CommandContext.h"

namespace twig {

// One received command payload on its way to its handler. Dispatching runs on the thread that
// delivers the payload (the push channel's, or the main loop for pulled messages).
class CommandDispatch final : public Model {
 public:
  std::optional<std::string> eventPayload;

  CommandDispatch() = default;
  explicit CommandDispatch(std::string payload) : eventPayload(std::move(payload)) {}

  // Dispatches `text` and posts the notification named after the command.
  static void eventMessage(const std::string& text, const CommandContext& context);
  void postEventMessage(const CommandContext& context) const;
  // Tells the context of a notice, then resolves and runs the command's handler (made for
  // `context`); the name to post under. Nothing when the payload is not a JSON object with a key
  // (or is a notice without a type), or repeats a command delivered lately.
  std::optional<std::string> dispatch(const CommandContext& context) const;
  // The name the payload is posted under: its first key, or a notice's type. No side effects.
  std::optional<std::string> eventName() const;
  // The payload as a JSON object; nothing when it is not one.
  std::optional<Json> fetchEventMessagePayload() const;
  // Tells the context of a notice's type ("bills" marks new bills for the home page).
  static void eventNotification(const std::string& type, const CommandContext& context);

  static constexpr const char* kNoticeKey = "EventNotification";

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
