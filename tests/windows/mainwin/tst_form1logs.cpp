// The main window's log commands and its openers of the QSO edit dialog and the
// worked-before list.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "mainwin/form1.h"
#include "mainwin/form17.h"
#include "mainwin/form3.h"
#include "mainwin/form5.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using test::addGeneratedLog;
using test::addPlaceholder;
using test::addQso;

namespace {

QStringList listColumn(int c) {
  QStringList texts;
  QTreeWidget* list = form1().ListView2;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(c);
  return texts;
}

QStringList pickerEntries() {
  QStringList texts;
  for (int i = 0; i < form3().List1->count(); ++i) texts << form3().List1->item(i)->text();
  return texts;
}

// The log config.ini names as the one in use.
QString logInUse(const test::TempFolder& folder) {
  for (const QString& line : folder.readLines("config.ini"))
    if (line.startsWith("LogenUso=")) return line.mid(9);
  return "(none)";
}

void showLog(const QString& name) {
  state().CurrentLogName = name;
  form1().ListView2->clear();
  LoadLogPage(name, 1);
}

// Runs a step once the modal window the command opens is up; the step must close it.
void whenShown(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

}  // namespace

class TstForm1Logs : public QObject {
  Q_OBJECT

  test::TempFolder* folder_ = nullptr;
  test::ScriptedDialogs* dialogs_ = nullptr;

 private slots:
  void init() {
    folder_ = new test::TempFolder;
    dialogs_ = new test::ScriptedDialogs;
    state() = ProgramState{};
    form1().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form1()));
  }
  void cleanup() {
    FormInstance<Form5>::unload();
    FormInstance<Form3>::unload();
    FormInstance<Form17>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    delete dialogs_;
    delete folder_;
  }

  // ---- Abrir Log --------------------------------------------------------------

  void pickerListsEveryLogWithItsCountAndOpensThePickedOne() {
    addQso("Diario", "LU1AA", "01/03/2024", "12:00:00");
    addQso("Diario", "LU2BB", "02/03/2024", "12:00:00");
    addPlaceholder("Diario");
    addPlaceholder("Vacío");
    addQso("DX (viejo)", "EA1AA", "01/01/2020", "10:00:00");
    showLog("Diario");

    QStringList entries;
    whenShown([&] {
      entries = pickerEntries();
      QListWidget* list = form3().List1;
      QListWidgetItem* item = list->item(0);
      list->setCurrentItem(item);
      emit list->itemDoubleClicked(item);
    });
    form1().alog_Click();
    QCOMPARE(entries, (QStringList{"Diario (2 QSOs)", "DX (viejo) (1 QSOs)", "Vacío (0 QSOs)"}));
    QCOMPARE(state().CurrentLogName, QString("Diario"));

    whenShown([] {
      QListWidget* list = form3().List1;
      list->setCurrentRow(1);
      emit list->itemDoubleClicked(list->item(1));
    });
    form1().alog_Click();
    QCOMPARE(state().CurrentLogName, QString("DX (viejo)"));
    QCOMPARE(listColumn(kQsoListEstacion), QStringList{"EA1AA"});
    QCOMPARE(form1().Label6->text(), QString("Log: DX (viejo), con 1 QSOs"));
    QCOMPARE(logInUse(*folder_), QString("DX (viejo)"));
    QCOMPARE(form1().Frame1->title(), QString("DX (viejo)"));
    QVERIFY(!form3().isVisible());
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void pickerOnAnEmptyTableIsEmptyAndClosingChangesNothing() {
    showLog("Base 1");
    int entries = -1;
    whenShown([&] {
      entries = form3().List1->count();
      form3().close();
    });
    form1().alog_Click();
    QCOMPARE(entries, 0);
    QCOMPARE(state().CurrentLogName, QString("Base 1"));
    QVERIFY(!FormInstance<Form3>::loaded());
    QVERIFY(!folder_->exists("config.ini"));
  }

  // ---- Nuevo Log ----------------------------------------------------------------

  void newLogRefusesAnExistingNameWhateverItsCase() {
    addQso("Mi Log", "LU1AA", "01/03/2024", "12:00:00");
    showLog("Mi Log");
    dialogs_->inputs << "mi LOG" << "";
    form1().nuevo_Click();
    QCOMPARE(dialogs_->prompts, (QStringList{"Ingrese el nombre del nuevo Log", "Ingrese el nombre del nuevo Log"}));
    QCOMPARE(dialogs_->texts(), QStringList{"El log mi LOG ya existe!"});
    QCOMPARE(dialogs_->messages.first().icon, MsgIcon::Exclamation);
    QCOMPARE(state().CurrentLogName, QString("Mi Log"));
    QCOMPARE(test::rowCount("Tabla1"), 1);
    QVERIFY(!folder_->exists("config.ini"));
  }

  void newLogIsCreatedEmptyAndOpened() {
    addQso("Mi Log", "LU1AA", "01/03/2024", "12:00:00");
    showLog("Mi Log");
    dialogs_->inputs << "Mi Log" << "O'Higgins 2024";
    form1().nuevo_Click();
    QCOMPARE(dialogs_->prompts.size(), 2);
    QCOMPARE(state().CurrentLogName, QString("OHiggins 2024"));
    QCOMPARE(form1().ListView2->topLevelItemCount(), 0);
    QCOMPARE(form1().Label6->text(), QString("Log: OHiggins 2024, con 0 QSOs"));
    QCOMPARE(logInUse(*folder_), QString("OHiggins 2024"));

    // Listed at once, with no QSOs.
    whenShown([] { form3().hide(); });
    form1().alog_Click();
    QCOMPARE(pickerEntries(), (QStringList{"Mi Log (1 QSOs)", "OHiggins 2024 (0 QSOs)"}));
  }

  // config.ini gives back 100 characters of the log in use: a longer name is cut when
  // the log is created, so after a restart the same log, with its QSOs, is in use.
  void aLongNewLogNameIsCutAndSurvivesARestart() {
    const QString typed = QString("Concurso ") + QString(111, u'x');
    QCOMPARE(typed.size(), 120);
    const QString kept = typed.left(100);
    dialogs_->inputs << typed;
    form1().nuevo_Click();
    QCOMPARE(state().CurrentLogName, kept);
    QCOMPARE(logInUse(*folder_), kept);
    addQso(kept, "LU1AA", "01/03/2024", "12:00:00");

    state() = ProgramState{};
    QVERIFY(LoadConfig().ok);
    QCOMPARE(state().CurrentLogName, kept);
    showLog(state().CurrentLogName);
    QCOMPARE(form1().Label6->text(), "Log: " + kept + ", con 1 QSOs");
  }

  // A name config.ini cannot hold (it would come back with "?") is refused with a
  // message, and the name is asked for again.
  void aNewLogNameOutsideTheFilesCodePageIsAskedAgain() {
    dialogs_->inputs << QString::fromUtf8("Diario Łódź") << QString::fromUtf8("Diario Lódz");
    form1().nuevo_Click();
    QCOMPARE(dialogs_->prompts.size(), 2);
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY(dialogs_->texts().first().contains("no se pueden guardar"));
    QCOMPARE(state().CurrentLogName, QString::fromUtf8("Diario Lódz"));
    QCOMPARE(logInUse(*folder_), QString::fromUtf8("Diario Lódz"));
  }

  void newLogAnswersThatLeaveNoNameChangeNothing_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("cancelled") << "";
    QTest::newRow("apostrophes only") << "''";
  }
  void newLogAnswersThatLeaveNoNameChangeNothing() {
    QFETCH(QString, answer);
    showLog("Mi Log");
    dialogs_->inputs << answer;
    form1().nuevo_Click();
    QCOMPARE(state().CurrentLogName, QString("Mi Log"));
    QCOMPARE(test::rowCount("Tabla1"), 0);
    QVERIFY(dialogs_->messages.isEmpty());
  }

  // ---- Borrar Log -----------------------------------------------------------------

  void deleteLogAsksAndOpensTheFirstRemainingLog() {
    addQso("Zulu", "LU1AA", "01/03/2024", "12:00:00");
    addQso("Mi Log", "LU2BB", "01/03/2024", "12:00:00");
    addQso("Mi Log", "LU3CC", "02/03/2024", "12:00:00");
    addPlaceholder("Mi Log");
    addPlaceholder("Delta");
    showLog("Mi Log");

    dialogs_->answers << MsgAnswer::No;
    form1().borralog_Click();
    QCOMPARE(test::rowCount("Tabla1"), 5);
    QVERIFY(!folder_->exists("config.ini"));
    const MessageRequest& q = dialogs_->messages.first();
    QCOMPARE(q.text, QString("Esta seguro de borrar Log: Mi Log, con 2 QSOs\r\n\r\nlos QSOs no podrán recuperarse!"));
    QCOMPARE(q.buttons, MsgButtons::YesNo);
    QCOMPARE(q.defaultButton, MsgAnswer::No);
    QCOMPARE(q.icon, MsgIcon::Question);

    dialogs_->answers << MsgAnswer::Yes;
    form1().borralog_Click();
    QCOMPARE(test::rowCount("Tabla1"), 2);
    QCOMPARE(state().CurrentLogName, QString("Delta"));
    QCOMPARE(form1().Label6->text(), QString("Log: Delta, con 0 QSOs"));
    QCOMPARE(logInUse(*folder_), QString("Delta"));
  }

  void deletingTheLastLogLeavesBase1WithoutARow() {
    addQso("Solo", "LU1AA", "01/03/2024", "12:00:00");
    showLog("Solo");
    dialogs_->answers << MsgAnswer::Yes;
    form1().borralog_Click();
    QCOMPARE(test::rowCount("Tabla1"), 0);
    QCOMPARE(state().CurrentLogName, QString("Base 1"));
    QCOMPARE(form1().ListView2->topLevelItemCount(), 0);
    QCOMPARE(form1().Label6->text(), QString("Log: Base 1, con 0 QSOs"));
    QCOMPARE(logInUse(*folder_), QString("Base 1"));
  }

  // ---- Openers of the QSO edit dialog -------------------------------------------------

  void doubleClickEditsTheRowAndKeepsThePage() {
    addGeneratedLog("Mi Log", 25);
    showLog("Mi Log");
    form1().mas_Click();
    QCOMPARE(state().LogPageStart, 21);
    QTreeWidget* list = form1().ListView2;
    QTreeWidgetItem* row = list->topLevelItem(2);
    const QString id = row->text(kQsoListId);
    list->setCurrentItem(row);

    QString caption, call, date, time, mhz, khz;
    whenShown([&] {
      Form5& f = form5();
      caption = f.windowTitle();
      call = f.Text2->text();
      date = f.Text4->text();
      time = f.Text5->text();
      mhz = f.mhz->currentText();
      khz = f.Text9->text();
      f.Text2->setText("CX9ZZ");
      f.Text10->setText("GF05TJ");  // the fixture's own grid has 4 characters
      f.Command1->click();
      if (f.isVisible()) f.reject();  // refused: end the test rather than hang
    });
    form1().ListView2_DblClick();
    QCOMPARE(dialogs_->texts(), QStringList());
    QCOMPARE(caption, "Edición de QSO #" + id);
    QCOMPARE(call, test::generatedCall(3));
    QCOMPARE(date.size(), 10);
    QCOMPARE(time.size(), 5);  // as the list shows it, without seconds
    QCOMPARE(mhz, QString("7"));
    QCOMPARE(khz, QString("050"));
    // The same page again, with the edit in it.
    QCOMPARE(state().LogPageStart, 21);
    QCOMPARE(form1().txt_pagina->text(), QString("2"));
    QVERIFY(listColumn(kQsoListEstacion).contains("CX9ZZ"));
    QVERIFY(list->isVisible());
  }

  void doubleClickOnAnEmptyLogOpensNothing() {
    addPlaceholder("Mi Log");
    showLog("Mi Log");
    form1().ListView2_DblClick();
    QVERIFY(!FormInstance<Form5>::loaded());
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void f5OpensTheLastQsoAddedOrTheNewest_data() {
    QTest::addColumn<QString>("last");  // LastInsertedQsoId: "mine", "other", "gone" or empty
    QTest::addColumn<QString>("opened");
    QTest::newRow("none added yet") << "" << "LU3CC";
    QTest::newRow("added to this log") << "mine" << "LU1AA";
    QTest::newRow("added to another log") << "other" << "LU3CC";
    QTest::newRow("deleted since") << "gone" << "LU3CC";
  }
  void f5OpensTheLastQsoAddedOrTheNewest() {
    QFETCH(QString, last);
    QFETCH(QString, opened);
    const qint64 mine = addQso("Mi Log", "LU1AA", "01/03/2024", "12:00:00");
    addQso("Mi Log", "LU3CC", "02/03/2024", "09:00:00");
    addQso("Mi Log", "LU2BB", "02/03/2024", "08:00:00");
    const qint64 other = addQso("Otro", "EA1AA", "05/03/2024", "12:00:00");
    showLog("Mi Log");
    state().LastInsertedQsoId = last == "mine"    ? QString::number(mine)
                                : last == "other" ? QString::number(other)
                                : last == "gone"  ? QString("999")
                                                  : QString();
    QString call;
    whenShown([&] {
      call = form5().Text2->text();
      form5().reject();
    });
    form1().EditLastQso();
    QCOMPARE(call, opened);
    QCOMPARE(state().EditCallerForm, QString("Form1"));
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void f5WithoutQsosSaysSo() {
    addPlaceholder("Mi Log");
    addQso("Otro", "EA1AA", "05/03/2024", "12:00:00");
    showLog("Mi Log");
    form1().EditLastQso();
    QCOMPARE(dialogs_->texts(), QStringList{"No hay QSOs para Editar!"});
    QCOMPARE(dialogs_->messages.first().icon, MsgIcon::Exclamation);
    QVERIFY(!FormInstance<Form5>::loaded());
  }

  // ---- Worked before ---------------------------------------------------------------

  void workedBeforeButtonListsTheTypedCall() {
    addQso("Mi Log", "LU1AA", "01/03/2024", "12:00:00");
    showLog("Mi Log");
    form1().Corresponsal->setText("LU1");
    QString caption;
    int lines = 0;
    whenShown([&] {
      caption = form17().windowTitle();
      lines = form17().List1->count();
      form17().hide();
    });
    form1().Command7_Click();
    QCOMPARE(caption, QString("LU1"));
    QCOMPARE(lines, 2);

    form1().Corresponsal->setText("CX");
    form1().Command7_Click();
    QCOMPARE(dialogs_->texts(), QStringList{"Sin QSOs con CX"});
  }
};

QTEST_MAIN(TstForm1Logs)
#include "tst_form1logs.moc"
