// The window's tests draw offscreen in software, the same on every machine, with one application
// object for the whole run.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
