#pragma once

#include <QFont>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QString>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "ui/LockWindowKeeper.h"

namespace twig::ui {

// The root QML file of the window, shipped inside the program.
inline QUrl mainQml() {
  return QUrl(QStringLiteral("qrc:/twig/qml/Main.qml"));
}

// Loads the window into `engine`, showing the screens of `host` at a size in points; null when
// the QML did not load.
inline QQuickWindow* loadWindow(QQmlApplicationEngine& engine, QObject& host, int width, int height) {
  engine.rootContext()->setContextProperty(QStringLiteral("screenHost"), &host);
  // Owned by the engine: the lock windows hand themselves to it as they are made.
  engine.rootContext()->setContextProperty(QStringLiteral("lockKeeper"), new LockWindowKeeper(&engine));
  engine.rootContext()->setContextProperty(QStringLiteral("initialWidth"), width);
  engine.rootContext()->setContextProperty(QStringLiteral("initialHeight"), height);
  engine.load(mainQml());
  return engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(engine.rootObjects().front());
}

// Chinese text needs a CJK face: the whole front end uses it.
inline void useProjectFont() {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(15);
  QGuiApplication::setFont(font);
}

// Without a graphics device OpenGL would be emulated on the processor, which takes longer to start
// and to draw than Qt Quick's own software renderer: that one is used then, unless the user chose
// a backend (QT_QUICK_BACKEND). Before the application object exists.
inline void chooseRenderer() {
  if (std::getenv("QT_QUICK_BACKEND") != nullptr) return;
  std::error_code error;
  if (!std::filesystem::exists("/dev/dri", error) || std::filesystem::is_empty("/dev/dri", error))
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

}  // namespace twig::ui
