#include <gtest/gtest.h>

#include <QFile>

#include "store/satellites.h"
#include "support/tempfolder.h"

using namespace vz;

TEST(SatelliteFile, DefaultFileAsWritten) {
  test::TempFolder folder(false);
  ASSERT_TRUE(WriteDefaultSatelliteFile());
  QFile f(folder.file("satelites.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_TRUE(bytes.startsWith("AO-7;70cm;2m;SSB;100.4\r\nAO-73;70cm;2m;SSB; \r\n"));
  EXPECT_TRUE(bytes.contains("\r\nLILACSAT-2;2m;70cm;SSB;\r\nFO-29;2m;70cm;SSB; \r\n"));
  EXPECT_TRUE(bytes.endsWith("\r\nAO-92;70cm;2m;FM;67.0\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), 16);

  const QList<SatelliteEntry> list = LoadSatelliteList();
  ASSERT_EQ(list.size(), 16);
  EXPECT_EQ(list[0].subTone, "100.4");
  EXPECT_EQ(list[1].subTone, " ");
  EXPECT_EQ(list[9].name, "LILACSAT-2");
  EXPECT_EQ(list[9].subTone, "");  // ends with its fourth ";"
  EXPECT_EQ(list[9].frequency, "");

  const SatellitePanelCaptions c = LoaderCaptions(list.last());
  EXPECT_EQ(c.subida, "Subida:70cm");
  EXPECT_EQ(c.bajada, "Bajada:2m");
  EXPECT_EQ(c.modo, "Modo:FM");
  EXPECT_EQ(c.subtono, "SubTono:67.0");

  EXPECT_EQ(SatelliteSelectorNames(list).mid(0, 4), (QStringList{"AO-7", "AO-73", "AO-85", "AO-91"}));
}

TEST(SatelliteFile, LineSplitting) {
  struct Case {
    QString line;
    bool isSatellite;
    QString name = {}, mode = {}, subTone = {}, frequency = {}, rest = {};
  } cases[] = {
      {"AO-7;70cm;2m;SSB;100.4", true, "AO-7", "SSB", "100.4", "", "100.4"},
      {"X;2m;70cm;FM;67.0;145.900", true, "X", "FM", "67.0", "145.900", "67.0;145.900"},
      {"X;2m;70cm;FM; ; ", true, "X", "FM", " ", " ", " ; "},
      {"X;2m;70cm;FM;67.0;145.900;hand", true, "X", "FM", "67.0", "145.900;hand", "67.0;145.900;hand"},
      {"X;2m;70cm;FM;", true, "X", "FM", "", "", ""},
      {";;;;", true, "", "", "", "", ""},
      {"X;2m;70cm;FM", false},
      {"AO-7 70cm 2m SSB", false},
      {"", false},
  };
  for (const Case& c : cases) {
    const auto e = ParseSatelliteLine(c.line);
    ASSERT_EQ(e.has_value(), c.isSatellite) << c.line.toStdString();
    if (!e) continue;
    EXPECT_EQ(e->name, c.name) << c.line.toStdString();
    EXPECT_EQ(e->mode, c.mode) << c.line.toStdString();
    EXPECT_EQ(e->subTone, c.subTone) << c.line.toStdString();
    EXPECT_EQ(e->frequency, c.frequency) << c.line.toStdString();
    EXPECT_EQ(e->rest, c.rest) << c.line.toStdString();
  }
}

TEST(SatelliteFile, MalformedLinesAreSkippedWhereverTheFileIsRead) {
  test::TempFolder folder(false);
  folder.writeLines("satelites.txt", {"", "AO-7;70cm;2m;SSB;100.4", "comentario a mano", "RS-44;2m;70cm",
                                      "RS-44;2m;70cm;SSB; ; ", "", "IO-117;70cm;70cm;FM;67.0;435.310"});
  const QList<SatelliteEntry> list = LoadSatelliteList();
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list[0].name, "AO-7");
  EXPECT_EQ(list[1].name, "RS-44");
  EXPECT_EQ(list[1].mode, "SSB");
  EXPECT_EQ(LoaderCaptions(list[2]).subtono, "SubTono:67.0;435.310");

  ASSERT_TRUE(FindSatellite("RS-44").has_value());
  EXPECT_EQ(FindSatellite("RS-44")->mode, "SSB");
  EXPECT_FALSE(FindSatellite("comentario a mano").has_value());
  EXPECT_FALSE(FindSatellite("").has_value());
}

TEST(SatelliteFile, FindingByName) {
  test::TempFolder folder(false);
  folder.writeLines("satelites.txt",
                    {"ao-7;2m;70cm;FM;67.0", "AO-7;70cm;2m;SSB;100.4", "AO-7;2m;70cm;FM;88.5;145.900"});
  const auto e = FindSatellite("AO-7");  // exact case, first line wins
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->subTone, "100.4");
  EXPECT_FALSE(FindSatellite("Ao-7").has_value());

  // The file removed while the program runs: no match and an empty list.
  ASSERT_TRUE(QFile::remove(folder.file("satelites.txt")));
  EXPECT_FALSE(FindSatellite("AO-7").has_value());
  EXPECT_TRUE(LoadSatelliteList().isEmpty());
}

TEST(SatelliteFile, EmptyFileListsNothing) {
  test::TempFolder folder(false);
  folder.writeLines("satelites.txt", {});
  EXPECT_TRUE(LoadSatelliteList().isEmpty());
  EXPECT_TRUE(SatelliteSelectorNames({}).isEmpty());
}

TEST(SatelliteFile, ChosenCaptions) {
  const SatellitePanelCaptions six = ChosenCaptions(*ParseSatelliteLine("X;2m;70cm;FM;67.0;145.900"));
  EXPECT_EQ(six.subida, "Subida: 2m 145.900");
  EXPECT_EQ(six.bajada, "Bajada: 70cm");
  EXPECT_EQ(six.modo, "Modo: FM");
  EXPECT_EQ(six.subtono, "SubTono: 67.0");
  const SatellitePanelCaptions five = ChosenCaptions(*ParseSatelliteLine("AO-7;70cm;2m;SSB;100.4"));
  EXPECT_EQ(five.subida, "Subida: 70cm ");
  EXPECT_EQ(five.subtono, "SubTono: 100.4");
}

TEST(SatelliteFile, UplinkSplit) {
  struct Case {
    QString line;  // the satellite chosen; its uplink caption is split
    long long band;
    QString mhz, khz;
  } cases[] = {
      {"AO-92;70cm;2m;FM;67.0", 70, "435", "550"},            // five fields: 70 cm default
      {"SO-50;2m;70cm;FM;67.0", 2, "145", "550"},             // five fields: 2 m default
      {"X;2m;70cm;FM;67.0;145.900", 2, "145", "900"},
      {"X;70cm;2m;FM;67.0;435.250", 70, "435", "250"},
      {"X;23cm;70cm;FM;67.0;1267.100", 23, "1267", "100"},    // split at the point
      {"X;2m;70cm;SSB; ; ", 2, "145", "550"},                 // frequency left blank in the editor
      {"X;23cm;70cm;FM;67.0", 23, "", ""},                    // no default for 23 cm
  };
  for (const Case& c : cases) {
    const QString caption = ChosenCaptions(*ParseSatelliteLine(c.line)).subida;
    const UplinkSplit s = SplitUplink(caption);
    EXPECT_EQ(s.bandNumber, c.band) << caption.toStdString();
    EXPECT_EQ(s.mhz, c.mhz) << caption.toStdString();
    EXPECT_EQ(s.khz, c.khz) << caption.toStdString();
  }
  // The loader's caption carries no frequency and gives parts no MHz selector offers.
  const UplinkSplit loader = SplitUplink("Subida:70cm");
  EXPECT_EQ(loader.bandNumber, 0);
  EXPECT_NE(loader.mhz.trimmed(), "");
  EXPECT_NE(loader.mhz, "435");
}
