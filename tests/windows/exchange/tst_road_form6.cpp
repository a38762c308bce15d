// The search view as the operator works it: opened from the menu, a filter typed and
// "Buscar", a double-click on a row for the edit dialog, "Borrar Filtros", and
// "Exportar ADIF" to a file chosen in the file dialog.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "exchange/form6.h"
#include "mainwin/form1.h"
#include "mainwin/form5.h"
#include "platform/textfile.h"
#include "store/logpage.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kLog = QStringLiteral("Diario");

}  // namespace

class TstRoadForm6 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=" + kLog});
    test::addQso(kLog, "CE3AAA", "01/03/2024", "12:00:00");
    test::addQso(kLog, "EA1BBB", "02/03/2024", "13:00:00", {.mode = "CW"});
    test::addQso(kLog, "K1CCC", "03/03/2024", "14:00:00");
    test::addQso("Otro", "JA1DDD", "03/03/2024", "15:00:00");
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form5>::unload();
    FormInstance<Form6>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  void filterSearchEditAndExport() {
    QStringList opened, filtered, cleared, edited;
    QVERIFY(test::whileModal([] { form1().eadif->trigger(); },
                             [&](QWidget* modal) {
                               Form6& f = form6();
                               QCOMPARE(modal, static_cast<QWidget*>(&f));
                               opened = test::columnTexts(f.ListView2, kQsoListEstacion);

                               QTest::mouseClick(f.Text5, Qt::LeftButton);  // "Corresponsal"
                               test::typeIntoFocus("ea1*");
                               QTest::mouseClick(f.Text6, Qt::LeftButton);  // "Modo"
                               test::typeIntoFocus("cw");
                               QVERIFY(test::click(f.Command3));  // "Buscar"
                               filtered = test::columnTexts(f.ListView2, kQsoListEstacion);
                               QCOMPARE(f.Label6->text().trimmed(), QString("1"));

                               QVERIFY(test::whileModal(
                                   [&] { test::doubleClickRow(f.ListView2, 0); },
                                   [&](QWidget* editor) {
                                     QCOMPARE(editor, static_cast<QWidget*>(&form5()));
                                     edited << form5().Text2->text();
                                     editor->close();
                                   }));
                               QVERIFY(test::returnTo(&f));

                               QVERIFY(test::click(f.Command4));  // "Borrar Filtros"
                               QCOMPARE(f.Text5->text(), QString());
                               QVERIFY(test::click(f.Command3));
                               cleared = test::columnTexts(f.ListView2, kQsoListEstacion);

                               dialogs->answers.enqueue(MsgAnswer::No);  // COMMENT as QSLMSG
                               dialogs->files.enqueue(folder->file("diario.adi"));
                               dialogs->answers.enqueue(MsgAnswer::No);  // see the file
                               QVERIFY(test::click(f.Command1));  // "Exportar ADIF"
                             }));
    QCOMPARE(opened, (QStringList{"K1CCC", "EA1BBB", "CE3AAA"}));
    QCOMPARE(filtered, QStringList{"EA1BBB"});
    QCOMPARE(edited, QStringList{"EA1BBB"});
    QCOMPARE(cleared, (QStringList{"CE3AAA", "EA1BBB", "K1CCC"}));  // a search lists oldest first

    QCOMPARE(dialogs->fileRequests.size(), 1);
    QVERIFY(folder->exists("diario.adi"));
    const QStringList lines = folder->readLines("diario.adi");
    QStringList calls;
    for (const QString& line : lines)
      if (line.contains("<CALL:")) calls << line.section("<CALL:", 1).section('>', 1).section('<', 0, 0);
    QCOMPARE(calls, cleared);
  }

  // A QSO deleted from the search view, then "Exportar ADIF": the export only hides
  // the view, yet the main list comes back whole, without the deleted QSO, and its
  // summary counts what is left.
  void deleteThenExportLeavesTheMainListFilled() {
    Form1& main = form1();
    QCOMPARE(test::columnTexts(main.ListView2, kQsoListEstacion), (QStringList{"K1CCC", "EA1BBB", "CE3AAA"}));
    QVERIFY(test::whileModal([] { form1().eadif->trigger(); },
                             [&](QWidget*) {
                               Form6& f = form6();
                               QCOMPARE(test::columnTexts(f.ListView2, kQsoListEstacion).value(0), QString("K1CCC"));
                               QVERIFY(test::whileModal([&] { test::doubleClickRow(f.ListView2, 0); },
                                                        [&](QWidget*) {
                                                          dialogs->answers.enqueue(MsgAnswer::Yes);
                                                          QVERIFY(test::click(form5().Command2));  // "Eliminar"
                                                        }));
                               QVERIFY(dialogs->lastText().startsWith("Elimina el QSO #"));
                               QVERIFY(test::returnTo(&f));
                               QCOMPARE(test::columnTexts(f.ListView2, kQsoListEstacion),
                                        (QStringList{"EA1BBB", "CE3AAA"}));

                               dialogs->answers.enqueue(MsgAnswer::No);  // COMMENT as QSLMSG
                               dialogs->files.enqueue(folder->file("diario.adi"));
                               dialogs->answers.enqueue(MsgAnswer::No);  // see the file
                               QVERIFY(test::click(f.Command1));  // "Exportar ADIF"
                             }));
    QVERIFY(folder->exists("diario.adi"));
    QVERIFY(!form6().isVisible());
    QVERIFY(main.ListView2->isVisible());
    QCOMPARE(test::columnTexts(main.ListView2, kQsoListEstacion), (QStringList{"EA1BBB", "CE3AAA"}));
    QCOMPARE(state().LogQsoCount, 2);
    QCOMPARE(main.Label6->text(), LogSummaryText(kLog, 2));
  }
};

QTEST_MAIN(TstRoadForm6)
#include "tst_road_form6.moc"
