#include "control/LockedApp.h"

namespace twig {

const ModelClass& LockedApp::staticModelClass() {
  using M = LockedApp;
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
