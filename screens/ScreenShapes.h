#pragma once

#include <string_view>

#include "frame/StateShape.h"

namespace twig {

// The declared fields of every screen the agent can show, by the class name its view is named
// after; null for a name that is none of them. Hand-written screen states (the screenshot
// fixtures) are checked against these.
const StateShape* screenShapeOf(std::string_view className);

}  // namespace twig
