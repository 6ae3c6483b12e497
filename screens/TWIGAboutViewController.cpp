#include "screens/TWIGAboutViewController.h"

#include "frame/ScreenHost.h"
#include "platform/DeviceFacts.h"
#include "platform/Ports.h"
#include "screens/TWIGlicenseAgreementViewController.h"

namespace twig {

TWIGAboutViewController::TWIGAboutViewController() : TWIGBaseViewController("TWIGAboutViewController") {
  addAction("selectRow", [this](const Json& arguments) { selectRow(intArgument(arguments, "row")); });
}

void TWIGAboutViewController::viewDidLoad() {
  setTitle("关于刺猬家");
  setState("labelName", "刺猬家 " + port::device().shortVersion());
  setState("rows", Json::array({"许可协议"}));
  setState("cellIdentifier", "cell_About");
}

void TWIGAboutViewController::selectRow(int row) {
  if (row != 0 || host() == nullptr) return;
  host()->push(std::make_shared<TWIGlicenseAgreementViewController>(), true);
}

}  // namespace twig
