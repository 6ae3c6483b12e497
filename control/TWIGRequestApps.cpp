#include "control/TWIGRequestApps.h"

#include "control/TWIGManagementHelper.h"

namespace twig {

void TWIGRequestApps::receiveMessagePayload(const Json& payload) {
  const auto snapshot = TWIGManagementHelper::groupsAndApps(false);
  publish(responseMessage("ResponseApps", commandUuid(payload),
                          Json{{"appControlGroups", snapshot.appControlGroups}, {"apps", snapshot.apps}}),
          nullptr);
}

}  // namespace twig
