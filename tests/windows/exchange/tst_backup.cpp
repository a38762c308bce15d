// The ADIF back-up: the window's list of logs and the file it writes.
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "exchange/adif.h"
#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/logfixture.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QStringList column(QTreeWidget* list, int c) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(c);
  return texts;
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

}  // namespace

class TstBackup : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;
  FixedClock fixedClock{QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9))};

  // Two logs whose QSOs share station and time, and a log with only its placeholder.
  void addLogs() {
    test::addPlaceholder("Beta");
    test::addPlaceholder("Alfa");
    test::addQso("Beta", "LU2BB", "01/03/2024", "12:00:30", {.ruk = "0", .satellite = "  SO-50 "});
    test::addQso("Alfa", "LU2BB", "01/03/2024", "12:00:30", {.remarks = "Hola <yo>", .ruk = "2"});
    test::addQso("Alfa", "", "02/03/2024", "09:05", {.mode = "DVoice", .ruk = ""});
    test::addPlaceholder("Vacio");
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    setClock(&fixedClock);
    state() = ProgramState{};
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form15>::unload();
    FormInstance<Form1>::unload();
    setClock(nullptr);
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void windowListsTheLogs() {
    addLogs();
    form1().badif_Click();
    Form15& f = form15();
    QVERIFY(f.isVisible());
    QVERIFY(!f.isModal());
    QCOMPARE(f.windowTitle(), QString("Back Up ..."));
    QCOMPARE(column(f.ListView1, 0), (QStringList{"Alfa", "Beta", "Vacio"}));
    QCOMPARE(column(f.ListView1, 1), (QStringList{"2", "1", "0"}));
    QCOMPARE(f.ListView1->topLevelItem(0)->foreground(1).color(), QColor(0, 64, 0));
    QCOMPARE(f.Label1->text(), QString("3"));
    QCOMPARE(f.Label2->text(), QString("3"));
    QCOMPARE(f.List1->item(0)->text(), QString("Alfa (2 QSOs)"));
    QVERIFY(f.Command1->isEnabled());
    QVERIFY(dialogs->messages.isEmpty());  // 3 QSOs: no warning

    // Sorting by the count, as text, one way and then the other.
    f.ListView1_ColumnClick(1);
    QCOMPARE(column(f.ListView1, 1), (QStringList{"2", "1", "0"}));
    f.ListView1_ColumnClick(1);
    QCOMPARE(column(f.ListView1, 1), (QStringList{"0", "1", "2"}));
  }

  void warningAboveTheImportLimit_data() {
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("warned");
    QTest::newRow("10000") << "10000" << false;
    QTest::newRow("10001") << "10001" << true;
  }
  void warningAboveTheImportLimit() {
    QFETCH(QString, total);
    QFETCH(bool, warned);
    Form15& f = form15();
    f.Label2->setText(total);
    f.Form_Activate();
    QCOMPARE(dialogs->messages.size(), warned ? 1 : 0);
    if (warned) {
      QCOMPARE(dialogs->lastText(),
               QString::fromUtf8("El ADIF tiene mas de 10.000 QSOs!\r\nNo podrá ser importado a Vantorel Zezeror, "
                                 "si para\r\nalgún otro logger. Haga BackUp de la base."));
      QCOMPARE(dialogs->messages[0].icon, MsgIcon::Exclamation);
    }
  }

  // Every QSO of every log, placeholders left out, byte for byte.
  void backupFile() {
    addLogs();
    form1().badif_Click();
    const QString path = folder->file("copia");  // no extension is added
    dialogs->files.enqueue(path);
    dialogs->answers.enqueue(MsgAnswer::Yes);
    form1().ListView2->setVisible(false);
    form15().Command1_Click();

    QCOMPARE(dialogs->fileRequests.size(), 1);
    QCOMPARE(dialogs->fileRequests[0].title, QString("Exportar a ADIF ..."));
    QVERIFY(dialogs->fileRequests[0].fileName.isEmpty());
    const QStringList lines = AdifHeader("2.1.21", fixedClock.now()) + QStringList{
        "<STATION_CALLSIGN:6>LU1ABC<CALL:5>LU2BB<MODE:3>SSB<BAND:3>40m<FREQ:5>7.050<QSO_DATE:8>20240301"
        "<TIME_ON:4>1200<RST_SENT:2>59<RST_RCVD:2>59<PROP_MODE:3>SAT<SAT_NAME:5>SO-50<OPERATOR:6>LU1ABC"
        "<MY_GRIDSQUARE:4>GF05<QSL_RCVD:1>N<LOG_NAME:4>Beta<EOR>",
        "<STATION_CALLSIGN:6>LU1ABC<CALL:5>LU2BB<MODE:3>SSB<BAND:3>40m<FREQ:5>7.050<QSO_DATE:8>20240301"
        "<TIME_ON:4>1200<RST_SENT:2>59<RST_RCVD:2>59<OPERATOR:6>LU1ABC<COMMENT:9>Hola <yo>"
        "<MY_GRIDSQUARE:4>GF05<QSL_RCVD:1>Y<LOG_NAME:4>Alfa<EOR>",
        "<STATION_CALLSIGN:6>LU1ABC<CALL:0><MODE:6>DVoice<BAND:3>40m<FREQ:5>7.050<QSO_DATE:8>20240302"
        "<TIME_ON:4>0905<RST_SENT:2>59<RST_RCVD:2>59<OPERATOR:6>LU1ABC<MY_GRIDSQUARE:4>GF05<LOG_NAME:4>Alfa<EOR>",
        "<EOF>"};
    QCOMPARE(QString::fromLatin1(fileBytes(path)), lines.join("\r\n") + "\r\n");

    QCOMPARE(dialogs->texts(), QStringList{path + "\r\nGuardado!\r\n\r\nDesea verlo?"});
    QCOMPARE(dialogs->messages[0].defaultButton, MsgAnswer::No);
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].kind, test::RecordingLauncher::Kind::TextEditor);
    QCOMPARE(launcher->calls[0].target, path);
    QVERIFY(form15().isHidden());
    QVERIFY(!form15().Command1->isEnabled());
    QVERIFY(!form1().ListView2->isHidden());
  }

  // An existing file is replaced only on Yes; cancelling writes nothing.
  void existingFileAndCancel() {
    addLogs();
    form1().badif_Click();
    const QString path = folder->file("copia.adi");
    folder->writeLines("copia.adi", {"anterior"});
    dialogs->files.enqueue(path);
    dialogs->answers.enqueue(MsgAnswer::No);
    form15().Command1_Click();
    QCOMPARE(dialogs->texts(), QStringList{"El archivo \r\n" + path + "\r\nya existe!\r\n\r\nsobregraba?"});
    QCOMPARE(dialogs->messages[0].icon, MsgIcon::Question);
    QCOMPARE(fileBytes(path), QByteArray("anterior\r\n"));
    QVERIFY(form15().Command1->isEnabled());

    dialogs->clear();
    form15().Command1_Click();  // no file chosen
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(form15().isVisible());

    dialogs->files.enqueue(path);
    dialogs->answers.enqueue(MsgAnswer::Yes);
    dialogs->answers.enqueue(MsgAnswer::No);
    form15().Command1_Click();
    QVERIFY(fileBytes(path).endsWith("<EOF>\r\n"));
    QVERIFY(launcher->calls.isEmpty());
  }

  // A file that cannot be written is said so, and a file already there is kept.
  void unwritableFileIsReported() {
    addLogs();
    form1().badif_Click();
    const QString path = folder->file("no/existe/copia.adi");
    dialogs->files.enqueue(path);
    form15().Command1_Click();
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0].icon, MsgIcon::Critical);
    QVERIFY(dialogs->lastText().contains(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(form15().isVisible());
  }
};

QTEST_MAIN(TstBackup)
#include "tst_backup.moc"
