// GUI tests drive the real windows on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "gui/main/code_editor.h"

int main(int argc, char** argv) {
  // Also when ctest lists the tests, which it does without the tests' environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  zeltrix::RegisterEditorFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
