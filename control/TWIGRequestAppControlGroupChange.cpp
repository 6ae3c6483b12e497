#include "control/TWIGRequestAppControlGroupChange.h"

#include "api/TWIGUtils.h"
#include "control/TWGIAppsModel.h"
#include "control/TWIGAppControlGroupModel.h"
#include "platform/FailureLog.h"
#include "platform/MainLoop.h"
#include "storage/OAKFMDBManage.h"

namespace twig {

namespace {

FailureLog& writeTrouble() {
  static FailureLog log("a group change was not stored");
  return log;
}

}  // namespace

TWIGRequestAppControlGroupChange::Change TWIGRequestAppControlGroupChange::changeOf(const Json& body) {
  Change change;
  change.groupId = TWIGUtils::stringValue(body, "groupId");
  change.startTime = TWIGUtils::stringValue(body, "startTime");
  change.endTime = TWIGUtils::stringValue(body, "endTime");
  change.week = TWIGUtils::stringValue(body, "week");
  const auto apps = body.find("apps");
  if (apps != body.end() && apps->is_array()) {
    for (const auto& app : *apps) {
      if (app.is_object()) change.appPackages.push_back(TWIGUtils::stringValue(app, "appPackage"));
    }
  }
  return change;
}

bool TWIGRequestAppControlGroupChange::applyChange(const Change& change) {
  const OAKFMDBManage tables;
  const bool stored = tables.transaction([&](const OAKFMDBManage& store) {
    const auto others = store.readRows(TWIGAppControlGroupModel(), "type", Json(0));
    if (!others) return false;

    TWIGAppControlGroupModel window;
    window.startTime = change.startTime;
    window.endTime = change.endTime;
    window.week = change.week;
    const auto groupsStored = store.hasTable(TWIGAppControlGroupModel());
    if (!groupsStored) return false;
    if (*groupsStored &&
        !store.updateSpecificDataChangeKeys(window, std::vector<std::string>{"startTime", "endTime", "week"},
                                            "groupId", change.groupId)) {
      return false;
    }
    // The group is emptied into the Other group, then refilled with the listed applications (there
    // are none to move before the first inventory made their table).
    const auto appsStored = store.hasTable(TWGIAppsModel());
    if (!appsStored) return false;
    if (!*appsStored) return true;
    TWGIAppsModel toOther;
    toOther.groupId = others->empty() ? std::string() : TWIGUtils::stringValue(others->front(), "groupId");
    if (!store.updateSpecificDataChangeKey(toOther, "groupId", "groupId", change.groupId)) return false;
    TWGIAppsModel member;
    member.groupId = change.groupId;
    for (const auto& package : change.appPackages) {
      if (!store.updateSpecificDataChangeKey(member, "groupId", "appPackage", package)) return false;
    }
    return true;
  });
  if (stored) {
    writeTrouble().succeeded();
  } else {
    writeTrouble().failed(tables.lastError());
  }
  return stored;
}

void TWIGRequestAppControlGroupChange::receiveMessagePayload(const Json& payload) {
  auto change = changeOf(commandBody(payload));
  const std::string uuid = commandUuid(payload);
  auto self = this->self<TWIGRequestAppControlGroupChange>();
  context().mainLoop->post([self, change = std::move(change), uuid] {
    const bool stored = applyChange(change);
    self->rebuildTable();
    self->publish(self->responseMessage("ResponseAppControlGroupChange", uuid, Json::object(),
                                        stored ? kAcknowledged : kFailed),
                  nullptr);
  });
}

}  // namespace twig
