#include "screens/AboutScreen.h"

#include "api/ApiClient.h"
#include "frame/ScreenHost.h"
#include "frame/Services.h"
#include "platform/DeviceFacts.h"
#include "platform/Ports.h"
#include "screens/LicenceScreen.h"

namespace twig {

const StateShape& AboutScreen::stateShape() {
  static const StateShape shape{{"labelName", FieldType::Text}, {"rows", FieldType::List}};
  return shape;
}

AboutScreen::AboutScreen(DeviceFacts& device) : ViewModel("AboutScreen", stateShape()), device_(device) {
  addAction("selectRow", [this](const Json& arguments) { selectRow(intArgument(arguments, "row")); });
}

void AboutScreen::onLoad() {
  setTitle("关于刺猬家");
  setState("labelName", "刺猬家 " + device_.shortVersion());
  setState("rows", Json::array({"许可协议"}));
}

void AboutScreen::selectRow(int row) {
  if (row != 0 || host() == nullptr) return;
  host()->push(std::make_shared<LicenceScreen>(), true);
}

}  // namespace twig
