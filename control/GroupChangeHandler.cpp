#include "control/GroupChangeHandler.h"

#include "api/Utils.h"
#include "control/AppRecord.h"
#include "control/ControlGroupRecord.h"
#include "messaging/Protocol.h"
#include "platform/FailureLog.h"
#include "platform/MainLoop.h"
#include "storage/TableStore.h"

namespace twig {

GroupChangeHandler::Change GroupChangeHandler::changeOf(const Json& body) {
  Change change;
  change.groupId = Utils::stringValue(body, "groupId");
  change.startTime = Utils::stringValue(body, "startTime");
  change.endTime = Utils::stringValue(body, "endTime");
  change.week = Utils::stringValue(body, "week");
  const auto apps = body.find("apps");
  if (apps != body.end() && apps->is_array()) {
    for (const auto& app : *apps) {
      if (app.is_object()) change.appPackages.push_back(Utils::stringValue(app, "appPackage"));
    }
  }
  return change;
}

bool GroupChangeHandler::applyChange(const TableStore& tables, const Change& change) {
  const bool stored = tables.transaction([&](const TableStore& store) {
    const auto others = store.readRows(ControlGroupRecord(), "type", Json(0));
    if (!others) return false;

    ControlGroupRecord window;
    window.startTime = change.startTime;
    window.endTime = change.endTime;
    window.week = change.week;
    const auto groupsStored = store.hasTable(ControlGroupRecord());
    if (!groupsStored) return false;
    if (*groupsStored &&
        !store.updateSpecificDataChangeKeys(window, std::vector<std::string>{"startTime", "endTime", "week"},
                                            "groupId", change.groupId)) {
      return false;
    }
    // The group is emptied into the Other group, then refilled with the listed applications (there
    // are none to move before the first inventory made their table).
    const auto appsStored = store.hasTable(AppRecord());
    if (!appsStored) return false;
    if (!*appsStored) return true;
    AppRecord toOther;
    toOther.groupId = others->empty() ? std::string() : Utils::stringValue(others->front(), "groupId");
    if (!store.updateSpecificDataChangeKey(toOther, "groupId", "groupId", change.groupId)) return false;
    AppRecord member;
    member.groupId = change.groupId;
    for (const auto& package : change.appPackages) {
      if (!store.updateSpecificDataChangeKey(member, "groupId", "appPackage", package)) return false;
    }
    return true;
  });
  return stored;
}

void GroupChangeHandler::receive(const Command& command) {
  auto change = changeOf(command.body());
  const std::string uuid = command.uuid;
  auto self = this->self<GroupChangeHandler>();
  context().mainLoop->post([self, change = std::move(change), uuid] {
    const bool stored = applyChange(self->tables(), change);
    // Told once per cause, however many changes meet the same trouble.
    auto& trouble = self->inventory().groupChangeTrouble();
    if (stored) {
      trouble.succeeded();
    } else {
      trouble.failed(self->tables().lastError());
    }
    self->rebuildTable();
    self->publish(self->responseMessage(protocol::kResponseAppControlGroupChange, uuid, Json::object(),
                                        stored ? kAcknowledged : kFailed),
                  nullptr);
  });
}

}  // namespace twig
