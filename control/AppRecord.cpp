#include "control/AppRecord.h"

namespace twig {

const ModelClass& AppRecord::staticModelClass() {
  using M = AppRecord;
  static const ModelClass modelClass("TWGIAppsModel",
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
