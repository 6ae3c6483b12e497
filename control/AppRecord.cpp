#include "control/AppRecord.h"
#include "storage/StoredNames.h"

namespace twig {

const ModelClass& AppRecord::staticModelClass() {
  using M = AppRecord;
  static const ModelClass modelClass(stored::kAppsTable,
                                     {
                                         textField("appPackage", &M::appPackage),
                                         textField("appName", &M::appName),
                                         textField("version", &M::version),
                                         textField("processName", &M::processName),
                                         textField("groupId", &M::groupId),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
