#include "status/TWIGRequestChildInfo.h"

#include "control/TWIGManagement.h"
#include "platform/MainLoop.h"
#include "platform/Ports.h"

namespace twig {

void TWIGRequestChildInfo::receiveMessagePayload(const Json& payload) {
  const std::string uuid = commandUuid(payload);
  // The manager is made and kept on the main loop.
  port::mainLoop().post([uuid] {
    auto& manager = TWIGManagement::sharedManagement();
    // The platform gives the level in single precision; it travels widened to double.
    const double battery = static_cast<double>(static_cast<float>(manager.ts_childBattery()));
    publish(responseMessage("ResponseChildInfo", uuid,
                            Json{{"battery", battery}, {"screenStatus", manager.ts_childScreenStatus()}}),
            nullptr);
  });
}

}  // namespace twig
