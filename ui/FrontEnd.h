#pragma once

#include <QFont>
#include <QGuiApplication>
#include <QString>
#include <QUrl>

namespace twig::ui {

// The root QML file of the window, shipped inside the program.
inline QUrl mainQml() {
  return QUrl(QStringLiteral("qrc:/twig/qml/Main.qml"));
}

// Chinese text needs a CJK face: the whole front end uses it.
inline void useProjectFont() {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(15);
  QGuiApplication::setFont(font);
}

}  // namespace twig::ui
