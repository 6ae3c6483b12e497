#include "ui/ScreenBridge.h"

#include "frame/ViewModel.h"
#include "ui/JsonVariant.h"

namespace twig {

ScreenBridge::ScreenBridge(ScreenPtr screen, QObject* parent) : QObject(parent), screen_(std::move(screen)) {
  // Every declared field is there from the start, empty until the view model writes it, so that a
  // view binds to its fields without asking whether each one exists yet.
  for (const auto& field : screen_->shape().fields())
    state_.insert(QString::fromStdString(field.name), toVariant(StateShape::emptyValue(field)));
  const Json& state = screen_->state();
  for (auto it = state.begin(); it != state.end(); ++it)
    state_.insert(QString::fromStdString(it.key()), toVariant(*it));
}

QString ScreenBridge::className() const {
  return QString::fromStdString(screen_->className());
}

bool ScreenBridge::invoke(const QString& action, const QVariant& arguments) {
  Json json = arguments.isValid() ? toJson(arguments) : Json::object();
  if (!json.is_object()) json = Json::object();
  // The screen may go away inside its own action (a screen that closes itself).
  const ScreenPtr keep = screen_;
  return keep->invoke(action.toStdString(), json);
}

void ScreenBridge::update(const std::string& key, const Json& value) {
  const QString name = QString::fromStdString(key);
  state_.insert(name, toVariant(value));
  emit stateChanged(name);
}

}  // namespace twig
