#pragma once

#include <memory>
#include <string>

#include "messaging/CommandContext.h"
#include "messaging/CommandHandler.h"
#include "messaging/Protocol.h"
#include "messaging/PushChannel.h"

namespace twig {

class Clock;

// The base of command handlers: the lookup of a command's handler, the context a handler is made
// for, and the envelopes of everything the device publishes.
class HandlerBase : public CommandHandler {
 public:
  explicit HandlerBase(CommandContext context) : context_(std::move(context)) {}

  const CommandContext& context() const { return context_; }
  // Through the context's publisher (QoS 1, with the backlog when it cannot go now); fails with
  // "mqtt没有连接上" when the context has none.
  void publish(const Json& message, PushChannel::PublishCompletion completion) const;
  // The answer's "status": the command was carried out, or it could not be (the device's own
  // trouble, such as a database it cannot write).
  static constexpr const char* kAcknowledged = protocol::kStatusAcknowledged;
  static constexpr const char* kFailed = protocol::kStatusFailed;

  Json responseMessage(const std::string& name, const std::string& commandUuid,
                       const Json& fields = Json::object(), const char* status = kAcknowledged) const {
    return responseMessage(*context_.clock, context_.deviceId, name, commandUuid, fields, status);
  }
  Json eventMessage(const std::string& name, const Json& fields = Json::object()) const {
    return eventMessage(*context_.clock, context_.deviceId, name, fields);
  }

  // {"<name>": {"commandUuid", "status": "Acknowledged", "thisDeviceId", "updateTime", ...fields}}
  static Json responseMessage(const Clock& clock, const std::string& deviceId, const std::string& name,
                              const std::string& commandUuid, const Json& fields,
                              const char* status = kAcknowledged);
  // {"<name>": {"commandUuid" (new), "thisDeviceId", "createTime", ...fields}}
  static Json eventMessage(const Clock& clock, const std::string& deviceId, const std::string& name,
                           const Json& fields);

 protected:
  // Keeps this handler alive in callbacks that outlive the dispatch.
  template <class T>
  std::shared_ptr<T> self() {
    return std::static_pointer_cast<T>(shared_from_this());
  }

 private:
  CommandContext context_;
};

}  // namespace twig
