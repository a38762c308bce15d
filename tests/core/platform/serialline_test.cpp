#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/appexit.h"
#include "platform/serialline.h"
#include "support/fakeserial.h"

using namespace vz;

TEST(SerialLine, ARealPortThatDoesNotExistFailsWithTheSystemsText) {
  auto line = QtSerialSystem().createLine();
  const Status s = line->open(QStringLiteral("ttyNoExiste9"));
  EXPECT_FALSE(s.ok);
  EXPECT_FALSE(s.error.isEmpty());
  EXPECT_FALSE(line->isOpen());
  EXPECT_FALSE(line->setSignal(SerialSignal::Dtr, true).ok);
}

TEST(SerialLine, TheFakeDropsBothLinesOnOpenAndRecordsEveryChange) {
  test::FakeSerialSystem fake({QStringLiteral("ttyUSB0")});
  auto line = serialSystem().createLine();
  ASSERT_TRUE(line->open(QStringLiteral("ttyUSB0")).ok);
  ASSERT_TRUE(line->setSignal(SerialSignal::Rts, true).ok);
  EXPECT_EQ(fake.lineLog(), QStringList({"ttyUSB0 DTR 0", "ttyUSB0 RTS 0", "ttyUSB0 RTS 1"}));
  EXPECT_TRUE(fake.level(QStringLiteral("ttyUSB0"), SerialSignal::Rts));
  line.reset();
  EXPECT_EQ(fake.openLog(), QStringList({"open ttyUSB0", "close ttyUSB0"}));
  EXPECT_TRUE(fake.openPorts().isEmpty());
}

TEST(SerialLine, ARealPortWhoseLinesCannotMoveSaysWhyAndStaysSafe) {
  // A pseudo-terminal opens like a port but has no modem lines.
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  auto line = QtSerialSystem().createLine();
  const Status opened = line->open(QString::fromLocal8Bit(name));
  EXPECT_FALSE(opened.ok);
  EXPECT_FALSE(opened.error.isEmpty());
  const Status raised = line->setSignal(SerialSignal::Dtr, true);
  EXPECT_FALSE(raised.ok);
  EXPECT_FALSE(raised.error.isEmpty());
  line->close();
  EXPECT_FALSE(line->isOpen());
  EXPECT_FALSE(line->setSignal(SerialSignal::Rts, false).ok);
  ::close(slave);
  ::close(master);
}

TEST(SerialLineDeathTest, TheProgramsEndDropsEveryLineAndNoneRisesAfterwards) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static test::FakeSerialSystem* fake = new test::FakeSerialSystem({QStringLiteral("ttyUSB0")});
        static SerialLine* line = fake->createLine().release();
        (void)line->open(QStringLiteral("ttyUSB0"));
        (void)line->setSignal(SerialSignal::Dtr, true);
        (void)line->setSignal(SerialSignal::Rts, true);
        std::atexit([] {
          std::fprintf(stderr, "DTR %d RTS %d raised %d\n", int(fake->level(QStringLiteral("ttyUSB0"), SerialSignal::Dtr)),
                       int(fake->level(QStringLiteral("ttyUSB0"), SerialSignal::Rts)),
                       int(line->setSignal(SerialSignal::Dtr, true).ok));
        });
        endProgram(0);
      },
      ::testing::ExitedWithCode(0), "DTR 0 RTS 0 raised 0");
}
