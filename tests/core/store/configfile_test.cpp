#include <gtest/gtest.h>

#include <QFile>

#include "platform/cp1252.h"
#include "platform/textfile.h"
#include "store/configfile.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QString codes(std::initializer_list<int> cs) {
  QString s;
  for (int c : cs) s += cp1252Char(c);
  return s;
}

}  // namespace

TEST(ScrambleText, Vectors) {
  // Key "QX7RTm42s": Q=81 X=88 7=55 R=82 T=84 m=109 4=52 2=50 s=115.
  struct Case {
    QString text;
    int mode;
    QString result;
  } cases[] = {
      {"a", 0, codes({178})},                     // 97+81
      {"abc", 0, codes({178, 186, 154})},         // 98+88, 99+55
      {codes({174}), 0, codes({255})},            // 174+81 = 255 stays
      {codes({175}), 0, codes({1})},              // 256 wraps by 255, not 256
      {codes({255}), 0, "Q"},                     // 255+81-255
      {"aaaaaaaaaa", 0, codes({178, 185, 152, 179, 181, 206, 149, 147, 212, 178})},  // key repeats
      {codes({178}), -1, "a"},
      {codes({1}), -1, codes({175})},             // 1-81 < 0: add 255
      {"Q", -1, codes({255})},                    // would be 0: comes back as 255
      {"", 0, ""},
      {"", -1, ""},
      {"abc", 1, ""},
      {"abc", -2, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScrambleText(c.text, kScramblerKey, c.mode), c.result)
        << c.text.toStdString() << " mode " << c.mode;
}

TEST(ScrambleText, EveryCodeRoundTripsAtEveryKeyPosition) {
  for (int pos = 0; pos < 9; ++pos) {
    for (int code = 1; code <= 255; ++code) {
      const QString text = QString(pos, u'x') + cp1252Char(code);
      ASSERT_EQ(ScrambleText(ScrambleText(text, kScramblerKey, 0), kScramblerKey, -1), text)
          << "code " << code << " at " << pos + 1;
    }
  }
}

TEST(PercentEncodePassword, ReplacesTheDelimitersOnce) {
  struct Case {
    QString in, out;
  } cases[] = {
      {"abcXYZ019", "abcXYZ019"},
      {"100%", "100%25"},
      {"%21", "%2521"},  // a "%" typed by the operator is not taken for an escape
      {"!*'();:@&=+$,/?#[]", "%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%23%5B%5D"},
      {"a b~-._\"<>", "a b~-._\"<>"},  // blanks and the rest pass unchanged
      {QString::fromUtf8("ñá@"), QString::fromUtf8("ñá%40")},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncodePassword(c.in), c.out) << c.in.toStdString();
}

TEST(ConfigLines, WriterPutsTwentyKeysInOrder) {
  ConfigValues v;
  v.Estacion = "lu1abc";
  v.Operador = "lu2xyz";
  v.DiferUTC = "-3";
  v.LogenUso = "Log inicial";
  v.GridLoca = "GF05TJ";
  v.UserRuk = "yo@example.org";
  v.PassRuk = "clave";
  v.NoBorrar = 1;
  v.Pantalla = 0;
  v.HamqUser = "qrzuser";
  v.HamqPass = "a";
  v.ArcAudio = "/home/op/cq.wav";
  v.Puerto = "ttyUSB0";
  v.PinPttRts = true;
  v.TAntes = "100";
  const QStringList expected = {
      "Estacion=LU1ABC", "Operador=LU2XYZ", "DiferUTC=-3", "LogenUso=Log inicial",
      "GridLoca=GF05TJ", "UserRuk_=yo@example.org", "PassRuk_=clave", "NoBorrar=1",
      "Pantalla=0", "HAMQuser=qrzuser", "HAMQpass=" + codes({178}), "RUKQuser=",
      "RUKQpass=", "eQSLuser=", "eQSLpass=", "ArcAudio=/home/op/cq.wav",
      "Puerto  =ttyUSB0", "PinPTT  =1", "TAntes  =100", "TDespues=",
  };
  EXPECT_EQ(formatConfigLines(v), expected);
}

TEST(ConfigLines, APasswordThatWouldBreakItsLineIsNotWritten) {
  ConfigValues v;
  v.HamqPass = codes({187});      // 187+81-255 = 13 (CR)
  v.RukqPass = "ok";
  v.EqslPass = codes({184});       // 184+81-255 = 10 (LF)
  QStringList unstorable;
  const QStringList lines = formatConfigLines(v, &unstorable);
  EXPECT_EQ(unstorable, QStringList({"QRZ", "eQSL"}));
  EXPECT_EQ(lines[10], "HAMQpass=");
  EXPECT_EQ(lines[12], "RUKQpass=" + ScrambleText("ok", kScramblerKey, 0));
  EXPECT_EQ(lines[14], "eQSLpass=");
  for (const QString& l : lines) EXPECT_FALSE(l.contains(u'\r') || l.contains(u'\n'));
}

TEST(ConfigLines, ReaderTable) {
  const QString longValue(150, u'x');
  const QString longPath = "/" + QString(1100, u'p');
  const QString sHamq = ScrambleText("q1", kScramblerKey, 0);
  const QString sRukq = ScrambleText("r1", kScramblerKey, 0);

  // Another order, unknown lines, a repeated key.
  ConfigRead r = parseConfigLines({"PinPTT  =1", "basura", "Estacion=LU1AAA", "Estacion=LU9ZZZ",
                                   "DiferUTC=-4", "HAMQpass=" + sHamq, "Puerto  =ttyS0"});
  EXPECT_TRUE(r.anyLine);
  EXPECT_EQ(r.Estacion, "LU9ZZZ");
  EXPECT_EQ(r.DiferUTC, "-4");
  EXPECT_EQ(r.PinPttRts, true);
  EXPECT_EQ(r.Puerto, "ttyS0");
  EXPECT_EQ(r.HamqPass, "q1");
  // Keys no line holds stay unset; grid and passwords come back empty.
  EXPECT_FALSE(r.Operador.has_value());
  EXPECT_FALSE(r.LogenUso.has_value());
  EXPECT_FALSE(r.Pantalla.has_value());
  EXPECT_FALSE(r.NoBorrar.has_value());
  EXPECT_FALSE(r.TAntes.has_value());
  EXPECT_EQ(r.GridLoca, "");
  EXPECT_EQ(r.RukqPass, "");

  // Empty file: nothing but the (empty) grid.
  r = parseConfigLines({});
  EXPECT_FALSE(r.anyLine);
  EXPECT_FALSE(r.Estacion.has_value());
  EXPECT_FALSE(r.PinPttRts.has_value());
  EXPECT_EQ(r.GridLoca, "");

  // Values are cut: 100 characters, 1000 for the audio file. A key counts only at the
  // start of its line: text that holds a key elsewhere sets nothing.
  r = parseConfigLines({"Operador=" + longValue, "ArcAudio=" + longPath, "xGridLoca=GF05",
                        "RUKQpass=" + sRukq, "RUKQpass=" + sRukq + "z"});
  EXPECT_EQ(r.Operador->size(), 100);
  EXPECT_EQ(r.ArcAudio->size(), 1000);
  EXPECT_EQ(r.GridLoca, "");
  EXPECT_EQ(r.RukqPass, ScrambleText(sRukq + "z", kScramblerKey, -1));

  // Numbers read as the number at the start; empty selector values are ignored.
  r = parseConfigLines({"NoBorrar=1 ", "Pantalla=x", "Puerto  =", "TAntes  =200", "TDespues="});
  EXPECT_EQ(r.NoBorrar, 1);
  EXPECT_EQ(r.Pantalla, 0);
  EXPECT_FALSE(r.Puerto.has_value());
  EXPECT_EQ(r.TAntes, "200");
  EXPECT_FALSE(r.TDespues.has_value());
}

TEST(ConfigLines, PinPttIsRtsOnlyForExactlyOne) {
  struct Case {
    QString value;
    bool rts;
  } cases[] = {{"1", true}, {"0", false}, {"", false}, {"1 ", false}, {"01", false}, {"true", false}};
  for (const Case& c : cases)
    EXPECT_EQ(parseConfigLines({"PinPTT  =" + c.value}).PinPttRts, c.rts) << c.value.toStdString();
}

TEST(ConfigLines, WriteAndReadBackThroughAWindows1252File) {
  test::TempFolder folder(false);
  ConfigValues v;
  v.Estacion = "LU1ABC";
  v.Operador = "";
  v.DiferUTC = "-3";
  v.LogenUso = QString::fromUtf8("Concurso Ñandú");
  v.GridLoca = "GF05TJ";
  v.UserRuk = QString::fromUtf8("josé@example.org");
  v.PassRuk = QString::fromUtf8("contraseña");
  v.NoBorrar = 1;
  v.Pantalla = 1;
  v.HamqUser = "qrz";
  v.HamqPass = QString::fromUtf8("pássword€ÿ");
  v.RukqUser = "ruk";
  v.RukqPass = QString::fromUtf8("áéíóú ñ");
  v.EqslUser = "eqsl";
  v.EqslPass = "%!*";
  v.ArcAudio = QString::fromUtf8("/home/op/Música/llamada ñ.wav");
  v.Puerto = "NINGUNO";
  v.PinPttRts = false;
  v.TAntes = "0";
  v.TDespues = "500";
  const QString path = folder.file("config.ini");
  ASSERT_TRUE(writeTextLines(path, formatConfigLines(v)));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("LogenUso=Concurso \xd1" "and\xfa\r\n"));
  QStringList lines;
  ASSERT_TRUE(readTextLines(path, &lines));
  ASSERT_EQ(lines.size(), 20);
  const ConfigRead r = parseConfigLines(lines);
  EXPECT_EQ(r.Estacion, v.Estacion);
  EXPECT_EQ(r.Operador, v.Operador);
  EXPECT_EQ(r.DiferUTC, v.DiferUTC);
  EXPECT_EQ(r.LogenUso, v.LogenUso);
  EXPECT_EQ(r.GridLoca, v.GridLoca);
  EXPECT_EQ(r.UserRuk, v.UserRuk);
  EXPECT_EQ(r.PassRuk, v.PassRuk);
  EXPECT_EQ(r.NoBorrar, 1);
  EXPECT_EQ(r.Pantalla, 1);
  EXPECT_EQ(r.HamqUser, v.HamqUser);
  EXPECT_EQ(r.HamqPass, v.HamqPass);
  EXPECT_EQ(r.RukqUser, v.RukqUser);
  EXPECT_EQ(r.RukqPass, v.RukqPass);
  EXPECT_EQ(r.EqslUser, v.EqslUser);
  EXPECT_EQ(r.EqslPass, v.EqslPass);
  EXPECT_EQ(r.ArcAudio, v.ArcAudio);
  EXPECT_EQ(r.Puerto, v.Puerto);
  EXPECT_EQ(r.PinPttRts, false);
  EXPECT_EQ(r.TAntes, v.TAntes);
  EXPECT_EQ(r.TDespues, v.TDespues);
}

// A value can never carry a line of its own into the file.
TEST(ConfigLines, EveryValueIsWrittenOnItsOwnLine) {
  ConfigValues v;
  v.Estacion = "LU1ABC";
  v.LogenUso = "Diario";
  v.HamqUser = "qrzuser\r\nLogenUso=HACK\r\nEstacion=EVIL1";
  v.EqslUser = "a\tb";
  v.ArcAudio = "/tmp/x\ny.wav";
  const QStringList lines = formatConfigLines(v);
  ASSERT_EQ(lines.size(), 20);
  EXPECT_EQ(lines[9], "HAMQuser=qrzuser LogenUso=HACK Estacion=EVIL1");
  EXPECT_EQ(lines[13], "eQSLuser=a b");
  EXPECT_EQ(lines[15], "ArcAudio=/tmp/x y.wav");
  const ConfigRead r = parseConfigLines(splitTextLines(lines.join("\r\n")));
  // The value holds "LogenUso=" and "Estacion=": only a key at the start of a line counts.
  EXPECT_EQ(r.HamqUser, "qrzuser LogenUso=HACK Estacion=EVIL1");
  EXPECT_EQ(r.Estacion, "LU1ABC");
  EXPECT_EQ(r.LogenUso, "Diario");
}

// config.ini as saved by an editor on Linux (LF), by an old Mac one (CR), or by the
// program (CR LF) reads the same.
TEST(ConfigLines, EveryLineEndReadsTheSame) {
  test::TempFolder folder(false);
  const QString path = folder.file("config.ini");
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const QByteArray bytes = QByteArray("Estacion=LU1ABC") + end + "Operador=LU2XYZ" + end + "LogenUso=Diario" + end +
                             "GridLoca=GF05TJ" + end;
    ASSERT_TRUE(replaceFileBytes(path, bytes));
    QStringList lines;
    ASSERT_TRUE(readTextLines(path, &lines));
    const ConfigRead r = parseConfigLines(lines);
    EXPECT_EQ(lines.size(), 4) << end;
    EXPECT_EQ(r.Estacion, "LU1ABC") << end;
    EXPECT_EQ(r.Operador, "LU2XYZ") << end;
    EXPECT_EQ(r.LogenUso, "Diario") << end;
    EXPECT_EQ(r.GridLoca, "GF05TJ") << end;
    EXPECT_TRUE(ConfigProblems(r, {"Diario", "Otro"}).isEmpty()) << end;
  }
}

TEST(ConfigLines, WhatMakesAPresentFileUnusable) {
  const struct {
    const char* what;
    QByteArray bytes;
    QStringList logs;
    QStringList problems;
  } cases[] = {
      {"usable", "Estacion=LU1ABC\r\nLogenUso=Diario\r\n", {"Diario"}, {}},
      {"another letter case", "Estacion=LU1ABC\r\nLogenUso=diario\r\n", {"Diario"}, {}},
      {"a new database without logs", "Estacion=LU1ABC\r\nLogenUso=Diario\r\n", {}, {}},
      {"only the station", "Estacion=LU1ABC\r\n", {"Diario"},
       {"no dice qué log se usa (falta la línea LogenUso=)."}},
      {"cut inside LogenUso=", "Estacion=LU1ABC\r\nOperador=LU2XYZ\r\nLogen", {"Diario"},
       {"no dice qué log se usa (falta la línea LogenUso=)."}},
      {"a log the database lacks", "Estacion=LU1ABC\r\nLogenUso=HACK\r\n", {"Diario"},
       {"el log \"HACK\" no está en la base de datos."}},
      {"an empty log name", "Estacion=LU1ABC\r\nLogenUso=\r\n", {"Diario"}, {"el nombre del log en uso está vacío."}},
      {"an empty station", "Estacion=\r\nLogenUso=Diario\r\n", {"Diario"},
       {"falta la señal distintiva de la estación."}},
      {"binary", QByteArray("\x00\x01\xff\xfe\x80garbage\x00\x1b[", 15), {"Diario"},
       {"no dice qué log se usa (falta la línea LogenUso=).", "falta la señal distintiva de la estación."}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConfigProblems(parseConfigLines(splitTextLines(decodeCp1252(c.bytes))), c.logs), c.problems) << c.what;
  }
}
