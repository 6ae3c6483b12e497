#include "control/ControlGroupRecord.h"

#include "api/Utils.h"
#include "storage/StoredNames.h"

namespace twig {

ControlGroupRecord::ControlGroupRecord()
    : groupId(Utils::getUUIDString()),
      groupName(""),
      type(Json(0)),
      startTime("06:00"),
      endTime("23:00"),
      week("0,1,2,3,4,5,6") {}

const ModelClass& ControlGroupRecord::staticModelClass() {
  using M = ControlGroupRecord;
  static const ModelClass modelClass(stored::kControlGroupsTable,
                                     {
                                         textField("groupId", &M::groupId),
                                         textField("groupName", &M::groupName),
                                         numberField("type", &M::type),
                                         textField("startTime", &M::startTime),
                                         textField("endTime", &M::endTime),
                                         textField("week", &M::week),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
