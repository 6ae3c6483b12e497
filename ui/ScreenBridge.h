#pragma once

#include <QObject>
#include <QQmlPropertyMap>
#include <QString>
#include <QVariant>
#include <memory>

#include "frame/ScreenHost.h"
#include "platform/Json.h"

namespace twig {

// One screen as QML sees it: its state as properties (`state.title`, `state.rows`...) kept in step
// with the view model, and its actions through invoke(). The only glue between a view model and
// its QML file, the same for every screen.
class ScreenBridge final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString className READ className CONSTANT)
  Q_PROPERTY(QObject* state READ state CONSTANT)

 public:
  explicit ScreenBridge(ScreenPtr screen, QObject* parent = nullptr);

  QString className() const;
  QObject* state() { return &state_; }
  const ScreenPtr& screen() const { return screen_; }

  // Runs a named action with its arguments (a JavaScript object); false when there is none.
  Q_INVOKABLE bool invoke(const QString& action, const QVariant& arguments = QVariant());
  // Called by the host when the view model changes a key.
  void update(const std::string& key, const Json& value);

 signals:
  void stateChanged(const QString& key);

 private:
  ScreenPtr screen_;
  QQmlPropertyMap state_;
};

}  // namespace twig
