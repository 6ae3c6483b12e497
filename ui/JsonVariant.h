#pragma once

#include <QVariant>

#include "platform/Json.h"

namespace twig {

// JSON values as QML sees them and back: objects become QVariantMap, arrays QVariantList, numbers
// and texts their plain kinds. Invalid UTF-8 in texts is replaced rather than refused.
QVariant toVariant(const Json& value);
Json toJson(const QVariant& value);

}  // namespace twig
