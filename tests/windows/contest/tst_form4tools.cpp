// The contest window's commands that hand the open contest to the other contest tools:
// transfer into the main log, ADIF and Cabrillo export, and the record editor's
// reload of the contest list.
#include <QClipboard>
#include <QGuiApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/form8.h"
#include "contest/form9.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"
#include "support/quietmainwindow.h"

using namespace vz;

namespace {

// The chooser's "Aceptar" for a new incremental contest.
void createContest(const QString& name) {
  form1().cabro_Click();
  form8().Text1->setText(name);
  form8().Option1->setChecked(true);
  form8().Command1_Click();
}

// A QSO typed and logged with Enter, with manual time so the clock leaves it alone.
void logQso(const QString& call, const QString& received, const QString& time) {
  Form4& f = form4();
  if (!f.Check2->isChecked()) f.Check2->click();
  f.Combo2->setCurrentText("20m");
  f.Combo1->setCurrentText("CW");
  f.Fecha->setText("08/12/2024");
  f.Hora->setText(time);
  f.Corresponsal->setText(call);
  f.RSR->setText(received);
  QTest::keyClick(f.Corresponsal, Qt::Key_Return);
}

QStringList mainLogCalls(const QString& logName) {
  QStringList calls;
  QSqlQuery q(db::connection());
  q.prepare("SELECT Estacion FROM Tabla1 WHERE [Nombre Log] = ? ORDER BY id");
  q.addBindValue(logName);
  q.exec();
  while (q.next()) calls << q.value(0).toString();
  return calls;
}

QStringList listCalls() {
  QStringList calls;
  QTreeWidget* list = form4().ListView2;
  for (int i = 0; i < list->topLevelItemCount(); ++i) calls << list->topLevelItem(i)->text(9);
  return calls;
}

}  // namespace

class TstForm4Tools : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;
  FixedClock fixed{QDateTime(QDate(2024, 12, 8), QTime(21, 0, 0))};

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    state().CurrentLogName = "Base";
    setClock(&fixed);
    form1().Label2->setText("LU9ZZ");
    form1().Frame1->setTitle("Base");
    test::loadQuietMainWindow();
    createContest("COPA");
    form4().Text2->setText("LU9ZZ");
    logQso("LU1ABC", "1", "21:05");
    logQso("LU2XYZ", "2", "21:07");
    QCOMPARE(form4().Label9->text(), QString("2 QSOs "));
    dialogs->clear();
  }
  void cleanup() {
    FormInstance<Form7>::unload();
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    setClock(nullptr);
    dialogs.reset();
    folder.reset();
  }

  // A contest's name is cut to what the files give back, and keeps to their code page.
  void aNewContestNameIsCutAndKeptToTheCodePage() {
    form1().cabro_Click();
    QLineEdit* box = form8().Text1;
    box->clear();
    QGuiApplication::clipboard()->setText(QString::fromUtf8("ŁCOPA Ω"));
    box->paste();
    QCOMPARE(box->text(), QString("COPA "));
    box->setText(QString("COPA ") + QString(115, u'X'));
    QCOMPARE(box->text().size(), 100);
    form8().Option1->setChecked(true);
    form8().Command1_Click();
    QCOMPARE(form4().Label2->text(), QString("COPA ") + QString(95, u'X'));
  }

  void transferCopiesTheContestIntoTheMainLog() {
    dialogs->answers.enqueue(MsgAnswer::Yes);
    form4().tbp->trigger();
    QCOMPARE(mainLogCalls("Base"), (QStringList{"LU1ABC", "LU2XYZ"}));
    QVERIFY(dialogs->texts().first().startsWith("Pasa el log de concurso COPA con 2 QSOs "));
    QCOMPARE(dialogs->lastText(), QString("Transferencia:\r\nCopiados: 2\r\nDuplicados: 0"));
  }

  void adifExportWritesThePlannedFile() {
    const QString path = folder->file("copa.adi");
    dialogs->files.enqueue(path);
    form4().ead->trigger();
    QVERIFY(QFileInfo::exists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("LU1ABC"));
    QVERIFY(text.contains("LU2XYZ"));
  }

  void cabrilloOpensTheHeaderWindowWithTheQsoSection() {
    QString title;
    QString contest;
    QString section;
    QTimer::singleShot(0, [&] {
      title = form9().windowTitle();
      contest = form9().Text3->text();
      section = form9().QsoSection;
      form9().reject();
    });
    form4().eca->trigger();
    QCOMPARE(title, QString("Encabezado de COPA con 2 QSO(s)"));
    QCOMPARE(contest, QString("COPA"));
    QCOMPARE(section.count("\r\n"), 2);
    QVERIFY(section.endsWith("END-OF-LOG:"));
    QVERIFY(section.indexOf("LU1ABC") < section.indexOf("LU2XYZ"));
    QVERIFY(dialogs->messages.isEmpty());
  }

  // Cabrillo refusals: the header window stays closed.
  void cabrilloRefusesWithItsMessage_data() {
    QTest::addColumn<QString>("ownCall");
    QTest::addColumn<bool>("emptyContest");
    QTest::addColumn<QString>("message");
    QTest::newRow("another own call") << "LU8YY" << false << "Error!\r\nEn el log distinta Señal Distintiva";
    QTest::newRow("no QSOs") << "LU9ZZ" << true << "No hay ningún QSO para exportar a Cabrillo!";
  }
  void cabrilloRefusesWithItsMessage() {
    QFETCH(QString, ownCall);
    QFETCH(bool, emptyContest);
    QFETCH(QString, message);
    Form4& f = form4();
    if (emptyContest) {
      QVERIFY(InsertContestQso("", "", "", "", "", "", "", "", "VACIO", "", "", "VACIO", kSerialIncremental).ok());
      f.Label2->setText("VACIO");
    }
    f.Text2->setText(ownCall);
    f.eca->trigger();
    QCOMPARE(dialogs->texts(), QStringList{message});
    QVERIFY(!FormInstance<Form9>::loaded() || !form9().isVisible());
  }

  // The record editor's deletion reloads the open contest's list from the store.
  void editorDeletionReloadsTheContestList() {
    const auto qsos = ContestQsosByTime("COPA");
    QVERIFY(qsos.ok());
    QCOMPARE(qsos.value.size(), 2);
    form7().fillFrom(qsos.value.first(), 2, "COPA", kSerialIncremental);
    dialogs->answers.enqueue(MsgAnswer::Yes);
    form7().Command2_Click();
    QCOMPARE(listCalls(), QStringList{"LU2XYZ"});
    QCOMPARE(form4().Label9->text(), QString("1 QSOs "));
  }

  // F12 and a double click on a row open the record editor on that QSO.
  void editorOpensOnTheChosenQso_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("F12: the last QSO") << false;
    QTest::newRow("double click on a row") << true;
  }
  void editorOpensOnTheChosenQso() {
    QFETCH(bool, doubleClick);
    Form4& f = form4();
    QString shownCall;
    QString shownPosition;
    QTimer::singleShot(0, [&] {
      shownCall = form7().Text2->text();
      shownPosition = form7().Label11->text();
      form7().reject();
    });
    QString expected = "LU2XYZ";
    if (doubleClick) {
      QTreeWidgetItem* row = f.ListView2->topLevelItem(1);
      expected = row->text(9);
      f.ListView2->setCurrentItem(row);
      emit f.ListView2->itemDoubleClicked(row, 0);
      QCOMPARE(shownPosition, QString("2"));
    } else {
      f.Form_KeyDown(123);
    }
    QCOMPARE(shownCall, expected);
  }

  void reloadSelectsTheGivenRow() {
    Form4& f = form4();
    f.ListView2->clear();
    f.ReloadContestList(2);
    QCOMPARE(f.ListView2->topLevelItemCount(), 2);
    QCOMPARE(f.ListView2->indexOfTopLevelItem(f.ListView2->currentItem()), 1);
  }
};

QTEST_MAIN(TstForm4Tools)
#include "tst_form4tools.moc"
