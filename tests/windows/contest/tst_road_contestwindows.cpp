// The windows around the contest window as the operator works them: the contest
// chooser opening a contest with a double-click, the record editor from a double-click
// on a logged QSO, the Cabrillo header window from the contest menu, and the analysis
// from the main window's File menu.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form13.h"
#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/form8.h"
#include "contest/form9.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kContest = QStringLiteral("COPA");

QWidget* focused() { return QApplication::focusWidget(); }

void addContestQso(const QString& call, const QString& mode, const QString& sent, const QString& received,
                   const QString& time) {
  QVERIFY(InsertContestQso(call, "40m", mode, sent, received, "20240315", time, "LU1ABC", kContest, "", "7050",
                           kContest, kSerialIncremental)
              .ok());
}

// Each stored QSO of the contest as "call sent received".
QStringList storedQsos() {
  QStringList rows;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT * FROM Tabla2 WHERE [Nombre Log]=? ORDER BY id", {kContest});
  while (q.next()) {
    const ContestQso r = readContestQso(q);
    if (r.isQso()) rows << QStringList{r.Estacion, r.RSE, r.RSR}.join(' ');
  }
  return rows;
}

QTreeWidgetItem* rowNamed(QTreeWidget* list, int column, const QString& text) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->text(column) == text) return list->topLevelItem(i);
  return nullptr;
}

}  // namespace

class TstRoadContestWindows : public QObject {
  Q_OBJECT

  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

  // "Concursos" and a double-click on the contest in the chooser.
  bool openExistingContest() {
    form1().cabro->trigger();
    Form8& chooser = form8();
    if (!chooser.isVisible() || !QTest::qWaitForWindowActive(&chooser)) return false;
    QTreeWidgetItem* row = rowNamed(chooser.ListView1, 1, kContest);
    if (!row) return false;
    test::doubleClickRow(chooser.ListView1, row);
    return form4().isVisible() && !chooser.isVisible() && QTest::qWaitForWindowActive(&form4());
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    QVERIFY(InsertContestQso("", "", "", "", "", "", "", "", kContest, "", "", kContest, kSerialIncremental).ok());
    addContestQso("CX2AAA", "CW", "1", "011", "1200");
    addContestQso("LU5BBB", "SSB", "2", "022", "1215");
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form13>::unload();
    FormInstance<Form9>::unload();
    FormInstance<Form7>::unload();
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  // The chooser lists the contest; a double-click opens it with its QSOs.
  void chooserOpensAContest() {
    QVERIFY(openExistingContest());
    Form4& f = form4();
    QCOMPARE(f.Label2->text(), kContest);
    QCOMPARE(f.ListView2->topLevelItemCount(), 2);
  }

  // A double-click on a logged QSO opens the record editor; Tab walks its boxes in
  // order; the received serial typed anew and "Guardar" store it.
  void recordEditorFromTheList() {
    QVERIFY(openExistingContest());
    Form4& f = form4();
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < f.ListView2->topLevelItemCount() && !row; ++i)
      for (int c = 0; c < f.ListView2->columnCount(); ++c)
        if (f.ListView2->topLevelItem(i)->text(c) == "CX2AAA") row = f.ListView2->topLevelItem(i);
    QVERIFY(row);

    QList<QWidget*> walk;
    QVERIFY(test::whileModal([&] { test::doubleClickRow(f.ListView2, row); },
                             [&](QWidget* modal) {
                               Form7& e = form7();
                               QCOMPARE(modal, static_cast<QWidget*>(&e));
                               QCOMPARE(e.Text2->text(), QString("CX2AAA"));
                               QTest::mouseClick(e.Text1, Qt::LeftButton);
                               for (int i = 0; i < 9; ++i) {
                                 test::keyToFocus(Qt::Key_Tab);
                                 walk << focused();
                               }
                               QTest::mouseClick(e.Text7, Qt::LeftButton);
                               e.Text7->selectAll();
                               test::typeIntoFocus("099");
                               QVERIFY(test::click(e.Command1));  // "Guardar"
                             }));
    Form7& e = form7();
    QCOMPARE(walk, (QList<QWidget*>{e.Text2, e.Text4, e.Text5, e.Combo1, e.Combo2, e.Text6, e.Text7, e.Command1,
                                    e.Command2}));
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos(), (QStringList{"CX2AAA 1 099", "LU5BBB 2 022"}));
  }

  // "Exportar Cabrillo" in the contest menu, the operator's name typed, "Cabrillo" and
  // the file chosen: the log is written with both QSOs.
  void cabrilloHeaderWindow() {
    QVERIFY(openExistingContest());
    dialogs->files.enqueue(folder->file("copa.log"));
    QVERIFY(test::whileModal([] { form4().eca->trigger(); },
                             [&](QWidget* modal) {
                               Form9& h = form9();
                               QCOMPARE(modal, static_cast<QWidget*>(&h));
                               QCOMPARE(h.Text1->text(), QString("LU1ABC"));
                               QTest::mouseClick(h.Text2, Qt::LeftButton);
                               test::typeIntoFocus("Juan Perez");
                               QVERIFY(test::click(h.Command1));  // "Cabrillo"
                             }));
    QCOMPARE(dialogs->fileRequests.size(), 1);
    const QStringList lines = folder->readLines("copa.log");
    QVERIFY(lines.contains("CALLSIGN: LU1ABC"));
    QVERIFY(lines.contains("NAME: Juan Perez"));
    QCOMPARE(lines.filter(QRegularExpression("^QSO:")).size(), 2);
  }

  // "Análisis de Concurso": the multiplier choice clicked and a double-click on the
  // contest count its QSOs by mode.
  void analysisFromTheMenu() {
    QVERIFY(test::whileModal([] { form1().anacal->trigger(); },
                             [&](QWidget* modal) {
                               Form13& a = form13();
                               QCOMPARE(modal, static_cast<QWidget*>(&a));
                               QVERIFY(test::click(a.Option2));  // "Serie Recibida"
                               QTreeWidgetItem* row = rowNamed(a.ListView1, 1, kContest);
                               QVERIFY(row);
                               test::doubleClickRow(a.ListView1, row);
                               QCOMPARE(a.Label13->text(), QString("LU1ABC"));
                               QCOMPARE(a.Label3->text(), QString("1"));   // CW
                               QCOMPARE(a.Label10->text(), QString("1"));  // phone
                               QCOMPARE(a.List1->count(), 1);
                               modal->close();
                             }));
  }
};

QTEST_MAIN(TstRoadContestWindows)
#include "tst_road_contestwindows.moc"
