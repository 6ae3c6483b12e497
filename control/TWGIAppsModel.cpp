#include "control/TWGIAppsModel.h"

namespace twig {

const ModelClass& TWGIAppsModel::staticModelClass() {
  using M = TWGIAppsModel;
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
