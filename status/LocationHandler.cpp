#include "status/LocationHandler.h"

#include "api/Utils.h"
#include "messaging/Protocol.h"

namespace twig {

Json LocationHandler::responseLocation(const std::string& uuid, double latitude, double longitude) const {
  // Unlike the other answers: no "status", and "createTime" in place of "updateTime".
  Json body = Json::object();
  body[protocol::kKeyCommandUuid] = uuid;
  body["createTime"] = Utils::timeToTurnTheTimestamp(*context().clock);
  body["thisDeviceId"] = context().deviceId;
  body["nowLng"] = longitude;
  body["nowLat"] = latitude;
  return Json{{protocol::kResponseLocation, body}};
}

void LocationHandler::receive(const Command& command) {
  const std::string uuid = command.uuid;
  // The handler stays alive through its callback until the answer is out.
  auto self = this->self<LocationHandler>();
  auto answer = [self, uuid](double latitude, double longitude) {
    self->publish(self->responseLocation(uuid, latitude, longitude), nullptr);
  };
  if (locate_) {
    locate_(std::move(answer));
  } else {
    answer(0, 0);  // nothing to locate with: the answer a device with location off gives
  }
}

}  // namespace twig
