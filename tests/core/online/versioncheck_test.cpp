#include <gtest/gtest.h>

#include "online/versioncheck.h"

using namespace vz;

namespace {

TEST(VersionCheck, ComparesThePublishedVersionWithThisOne) {
  const struct {
    const char* web;
    bool ok;
    bool due;
  } cases[] = {
      {"2.1.22", true, true},
      {"2.1.21", true, false},
      {"3.0.0", true, true},
      {"2.2.0", true, true},
      // An older published version never asks for an update.
      {"2.0.30", true, false},
      {"1.9.99", true, false},
      {"2.1.21 beta", true, false},
      {" 2. 1. 22", true, true},
      {"2.1.100", true, true},
      // A component without a number is worth 0.
      {"V2.1.22", true, false},
      {"2.2", false, false},
      {"3", false, false},
      {"", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.web);
    const VersionCheckOutcome o = CompareVersions("2.1.21", QString::fromLatin1(c.web));
    ASSERT_EQ(o.ok, c.ok);
    if (!c.ok) {
      EXPECT_EQ(o.code, 0);
      EXPECT_EQ(o.text, QString("La versión publicada en la Web no se puede leer (se esperaba algo como 2.1.22): \"") +
                            c.web + "\"");
      continue;
    }
    EXPECT_EQ(o.text, QString("Su versión: 2.1.21\r\nen la Web: ") + c.web + "\r\n\r\n" +
                          (c.due ? "debe actualizar!" : "está actualizado"));
  }
}

TEST(VersionCheck, OnlyTheFirstLineIsTheVersion) {
  EXPECT_EQ(VersionFirstLine("2.1.22\r\nnotas\r\n"), QString("2.1.22"));
  EXPECT_EQ(VersionFirstLine("2.1.22\nnotas\n"), QString("2.1.22"));
  EXPECT_EQ(VersionFirstLine("2.1.22\rnotas"), QString("2.1.22"));
  EXPECT_EQ(VersionFirstLine(""), QString());
}

}  // namespace
