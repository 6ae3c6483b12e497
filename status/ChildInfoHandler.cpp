#include "status/ChildInfoHandler.h"

#include "messaging/Protocol.h"
#include "platform/MainLoop.h"

namespace twig {

void ChildInfoHandler::receive(const Command& command) {
  const std::string uuid = command.uuid;
  auto self = this->self<ChildInfoHandler>();
  context().mainLoop->post([self, uuid] {
    const ChildStatus status = self->readStatus_ ? self->readStatus_() : ChildStatus{};
    // The platform gives the level in single precision; it travels widened to double.
    const double battery = static_cast<double>(static_cast<float>(status.battery));
    self->publish(self->responseMessage(protocol::kResponseChildInfo, uuid,
                                        Json{{"battery", battery}, {"screenStatus", status.screenStatus}}),
                  nullptr);
  });
}

}  // namespace twig
