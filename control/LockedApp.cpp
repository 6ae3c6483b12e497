#include "control/LockedApp.h"
#include "storage/StoredNames.h"

namespace twig {

const ModelClass& LockedApp::staticModelClass() {
  using M = LockedApp;
  static const ModelClass modelClass(stored::kLockedAppClass,
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
