#include "screens/LicenceScreen.h"

#include <string>

#include "frame/Resources.h"
#include "frame/ScreenRegistry.h"

namespace twig {

const StateShape& LicenceScreen::stateShape() {
  static const StateShape shape{{"html", FieldType::Text}};
  return shape;
}

void LicenceScreen::onLoad() {
  setTitle("许可协议");
  const auto page = Resources::find(kResourceName, kResourceType);
  if (!page) ScreenRegistry::reportPackagingError("the resource textfile.html is missing");
  // An empty page rather than none: the screen still opens and closes as the child expects.
  setState("html", page ? std::string(*page) : std::string());
}

}  // namespace twig
