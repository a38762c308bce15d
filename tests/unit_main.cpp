#include <gtest/gtest.h>

#include <QApplication>

// Logic tests run inside an application object, as the program does: the database
// driver, text documents and timers expect one.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
