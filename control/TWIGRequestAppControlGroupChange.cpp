#include "control/TWIGRequestAppControlGroupChange.h"

#include "api/TWIGUtils.h"
#include "control/TWIGManagementHelper.h"
#include "platform/MainLoop.h"
#include "storage/OAKFMDBManage.h"

namespace twig {

void TWIGRequestAppControlGroupChange::applyChange(const Json& body) {
  const OAKFMDBManage store;
  const auto other = TWIGManagementHelper::groupRowOfType(0);
  const std::string groupId = TWIGUtils::stringValue(body, "groupId");

  TWIGAppControlGroupModel window;
  window.startTime = TWIGUtils::stringValue(body, "startTime");
  window.endTime = TWIGUtils::stringValue(body, "endTime");
  window.week = TWIGUtils::stringValue(body, "week");
  store.updateSpecificDataChangeKeys(window, std::vector<std::string>{"startTime", "endTime", "week"},
                                     "groupId", groupId);

  // The group is emptied into the Other group, then refilled with the listed applications.
  TWGIAppsModel toOther;
  toOther.groupId = other ? TWIGUtils::stringValue(*other, "groupId") : std::string();
  store.updateSpecificDataChangeKey(toOther, "groupId", "groupId", groupId);
  TWGIAppsModel member;
  member.groupId = groupId;
  const auto apps = body.find("apps");
  if (apps != body.end() && apps->is_array()) {
    for (const auto& app : *apps) {
      if (app.is_object())
        store.updateSpecificDataChangeKey(member, "groupId", "appPackage",
                                          TWIGUtils::stringValue(app, "appPackage"));
    }
  }
}

void TWIGRequestAppControlGroupChange::receiveMessagePayload(const Json& payload) {
  const Json body = commandBody(payload);
  const std::string uuid = commandUuid(payload);
  auto self = this->self<TWIGRequestAppControlGroupChange>();
  context().mainLoop->post([self, body, uuid] {
    applyChange(body);
    self->rebuildTable();
    self->publish(self->responseMessage("ResponseAppControlGroupChange", uuid), nullptr);
  });
}

}  // namespace twig
