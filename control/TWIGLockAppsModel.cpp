#include "control/TWIGLockAppsModel.h"

namespace twig {

const ModelClass& TWIGLockAppsModel::staticModelClass() {
  using M = TWIGLockAppsModel;
  static const ModelClass modelClass("TWIGLockAppsModel",
                                     {
                                         textField("appName", &M::appName),
                                         textField("appPackage", &M::appPackage),
                                         textField("iconUrl", &M::iconUrl),
                                         textField("processName", &M::processName),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
