#include "mainwin/qslcard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/textfile.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"

using namespace vz;
using vz::test::RecordingLauncher;

namespace {

QslCardFields card() {
  return {"LU9ZZ", "LU1ABC/P", "05/06/2024", "14:05", "SSB", "20m", "59", "so-50", "Gracias por el QSO"};
}

TEST(QslCardRequest, KeysAndValuesJoinedWithoutQuotingOrEscaping) {
  EXPECT_EQ(QslCardRequest(card()),
            " Tarjo$de=LU9ZZ$para=LU1ABC/P$fecha=05/06/2024$hora=14:05$modo=SSB$banda=20m$reporte=59"
            "$sat=SO-50$nota=Gracias por el QSO");
  QslCardFields empty = card();
  empty.satellite.clear();
  empty.remarks.clear();
  EXPECT_TRUE(QslCardRequest(empty).endsWith("$reporte=59$sat=$nota="));
}

TEST(QslCardRequest, ImageNameHasNoSlashes) {
  EXPECT_EQ(QslCardImageName("LU1ABC/P", "05/06/2024"), "LU1ABC_P_05062024.jpg");
  EXPECT_EQ(QslCardImageName("", ""), "_.jpg");
}

// A designer folder with the program and some designs.
class QslHandOff : public ::testing::Test {
 protected:
  void SetUp() override {
    setQslDesignerFolder(dir.path());
    QDir(dir.path()).mkpath("MisQSLs");
  }
  void TearDown() override { setQslDesignerFolder({}); }

  void installDesigner() {
    QFile program(dir.filePath("tarjos"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
  }
  void design(const QString& name, const QStringList& lines) {
    ASSERT_TRUE(writeTextLines(dir.filePath("MisQSLs/" + name), lines));
  }

  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  RecordingLauncher launcher;
};

TEST_F(QslHandOff, WithoutTheDesignerOnlyItsMessageIsShown) {
  design("mia.qsl", {"SuCall=LU9ZZ"});
  HandOffQslCard(card());
  EXPECT_EQ(dialogs.texts(), QStringList{"No se encuentra programa Tarjos"});
  EXPECT_EQ(dialogs.messages.first().icon, MsgIcon::Exclamation);
  EXPECT_TRUE(launcher.calls.isEmpty());
}

TEST_F(QslHandOff, ADesignMustNameTheOwnCallExactly) {
  installDesigner();
  const struct {
    const char* what;
    QStringList lines;
  } cases[] = {
      {"no design", {}},
      {"other call", {"Fondo=azul", "SuCall=LU1AA"}},
      {"letter case", {"SuCall=lu9zz"}},
      {"trailing blank", {"SuCall=LU9ZZ "}},
  };
  for (const auto& c : cases) {
    QDir(dir.filePath("MisQSLs")).removeRecursively();
    QDir(dir.path()).mkpath("MisQSLs");
    if (!c.lines.isEmpty()) design("una.qsl", c.lines);
    dialogs.clear();
    HandOffQslCard(card());
    EXPECT_EQ(dialogs.texts(), QStringList{"El programa Tarjos no tiene Diseño de QSL para LU9ZZ"}) << c.what;
    EXPECT_TRUE(launcher.calls.isEmpty()) << c.what;
  }
}

TEST_F(QslHandOff, StartsTheDesignerThenOffersTheImage) {
  installDesigner();
  design("otra.qsl", {"SuCall=LU1AA"});
  design("MIA.QSL", {"Titulo=Mi tarjeta", "SuCall=LU9ZZSuCall=", "Fondo=verde"});

  dialogs.answers << MsgAnswer::Yes;
  HandOffQslCard(card());
  ASSERT_EQ(launcher.calls.size(), 2);
  EXPECT_EQ(launcher.calls[0].kind, RecordingLauncher::Kind::Program);
  EXPECT_EQ(launcher.calls[0].target, dir.filePath("tarjos"));
  // The parameter string is the one argument, blanks inside its values included.
  EXPECT_EQ(launcher.calls[0].arguments, QStringList{QslCardRequest(card()).mid(1)});
  EXPECT_EQ(launcher.calls[1].kind, RecordingLauncher::Kind::Document);
  EXPECT_EQ(launcher.calls[1].target, dir.path() + "/Salida/LU1ABC_P_05062024.jpg");

  ASSERT_EQ(dialogs.messages.size(), 1);
  const MessageRequest& q = dialogs.messages.first();
  EXPECT_EQ(q.text, "QSL LU1ABC/P_05062024.jpg guardada en " + dir.path() + "/Salida/\r\n\r\nDesea verla?");
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.defaultButton, MsgAnswer::Yes);
  EXPECT_EQ(q.icon, MsgIcon::Question);

  launcher.calls.clear();
  dialogs.answers << MsgAnswer::No;
  HandOffQslCard(card());
  ASSERT_EQ(launcher.calls.size(), 1);  // started; the image is not opened
  EXPECT_EQ(launcher.calls[0].kind, RecordingLauncher::Kind::Program);
}

TEST_F(QslHandOff, ADesignerThatCannotStartIsReportedAndNothingIsOffered) {
  installDesigner();
  design("mia.qsl", {"SuCall=LU9ZZ"});
  launcher.answer = false;
  HandOffQslCard(card());
  EXPECT_EQ(dialogs.texts(), QStringList{"No se pudo iniciar el programa Tarjos"});
}

}  // namespace
