#include <gtest/gtest.h>

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
