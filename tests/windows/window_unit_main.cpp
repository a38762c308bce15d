#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Logic tests of window helpers run inside an application with widgets, as the
// program does.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The build lists the tests by running this program outside ctest's environment;
  // give Qt a private runtime folder then, as it wants one.
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
