// Test entry for window tests: one application object for the whole run,
// on the offscreen platform unless a display was asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/icon_caching_style.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  application.setApplicationName(QStringLiteral("Selvarex"));
  // The program's own style, as the window runs with it.
  selvarex::UseIconCachingStyle();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
