// The window tests' entry point: a QApplication on the offscreen platform,
// created only when tests run (not while their names are listed).

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

#include "window/qt/window_fonts.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  QApplication app(argc, argv);
  cordshift::InstallFontSubstitutes();
  return RUN_ALL_TESTS();
}
