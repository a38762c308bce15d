#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

// Logic tests of the store and the rules run inside a plain application object, as
// a program without windows would: the database driver and timers expect one.
int main(int argc, char** argv) {
  // The build lists the tests by running this program outside ctest's environment;
  // give Qt a private runtime folder then, as it wants one.
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
