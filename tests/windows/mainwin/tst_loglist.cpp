// The main window's QSO list: page loading, paging commands and heading sort.
#include <QHeaderView>
#include <QSqlRecord>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "store/logstore.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QStringList column(int c) {
  QStringList texts;
  QTreeWidget* list = form1().ListView2;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(c);
  return texts;
}
QStringList calls() { return column(kQsoListEstacion); }

// "Primera", "Anterior", "Siguiente", "Ultima" as "1100".
QString buttons() {
  QString s;
  for (QPushButton* b : {form1().anterior, form1().menos, form1().mas, form1().ultima}) s += b->isEnabled() ? "1" : "0";
  return s;
}

// The newest-first calls of a generated log from position `from` to `to`.
QStringList generated(int n, int from, int to) {
  QStringList c;
  for (int p = from; p <= to; ++p) c << test::generatedCall(n - p + 1);
  return c;
}

void showLog(const QString& name) {
  state().CurrentLogName = name;
  form1().ListView2->clear();
  LoadLogPage(name, 1);
}

}  // namespace

class TstLogList : public QObject {
  Q_OBJECT

  test::TempFolder* folder_ = nullptr;
  test::ScriptedDialogs* dialogs_ = nullptr;

 private slots:
  void init() {
    folder_ = new test::TempFolder;
    dialogs_ = new test::ScriptedDialogs;
    state() = ProgramState{};
    form1().Timer2->stop();  // the start-up step would load the log named in the settings
    form1().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form1()));
  }
  void cleanup() {
    FormInstance<Form1>::unload();
    delete dialogs_;
    delete folder_;
  }

  void pageLoads_data() {
    QTest::addColumn<int>("qsos");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("callerPage");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<int>("first");  // newest-first position of the first row shown
    QTest::addColumn<int>("rows");
    QTest::newRow("empty log") << 0 << 1 << 0 << "1" << "1" << "0000" << 1 << 0;
    QTest::newRow("20 QSOs") << 20 << 1 << 0 << "1" << "1" << "0000" << 1 << 20;
    QTest::newRow("21 QSOs, page 1") << 21 << 1 << 0 << "1" << "2" << "0011" << 1 << 20;
    QTest::newRow("21 QSOs, page 2") << 21 << 21 << 2 << "2" << "2" << "1100" << 21 << 1;
    QTest::newRow("45 QSOs, page 2") << 45 << 21 << 2 << "2" << "3" << "1111" << 21 << 20;
    QTest::newRow("45 QSOs from 41") << 45 << 41 << 3 << "3" << "3" << "1100" << 41 << 5;
    // The only QSOs of page 3 are gone: the page shown is the new last one.
    QTest::newRow("start beyond the end") << 40 << 41 << 3 << "2" << "2" << "1100" << 21 << 20;
    QTest::newRow("start beyond an empty log") << 0 << 21 << 2 << "1" << "1" << "0000" << 1 << 0;
  }
  void pageLoads() {
    QFETCH(int, qsos);
    QFETCH(int, start);
    QFETCH(int, callerPage);
    test::addPlaceholder("Mi log");  // a log's placeholder is never listed nor counted
    test::addGeneratedLog("Mi log", qsos);
    test::addGeneratedLog("Otro log", 7);
    Form1& f = form1();
    state().CurrentLogName = "Mi log";
    state().LogPageNumber = callerPage;
    f.ListView2->clear();
    LoadLogPage("Mi log", start);

    QTEST(f.txt_pagina->text(), "page");
    QTEST(f.txt_total->text(), "total");
    QTEST(buttons(), "buttons");
    QFETCH(int, first);
    QFETCH(int, rows);
    QCOMPARE(calls(), generated(qsos, first, first + rows - 1));
    QCOMPARE(state().LogPageStart, first);
    QCOMPARE(state().LogQsoCount, qsos);
    QCOMPARE(state().LogPageCount, (qsos + 19) / 20);
    QCOMPARE(f.Label6->text(), QString("Log: Mi log, con %1 QSOs").arg(qsos));
    QVERIFY(f.ListView2->isVisible());
    QVERIFY(!f.Label9->isVisible());
    QVERIFY(!f.ProgressBar1->isVisible());
    QCOMPARE(f.Label9->text(), QString("Cargando log ..."));
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void rowsCarryTheirCellsAndColours() {
    test::addQso("Mi log", "LU2DKT", "31/12/2026", "14:05:00",
                 {.mode = "CW", .band = "80m", .frequency = "3.520", .remarks = "Tnx", .ruk = " 1 ",
                  .satellite = " ", .province = " Santa Fe "});
    test::addQso("Mi log", "W1AW", "", "");
    showLog("Mi log");
    QTreeWidget* list = form1().ListView2;
    QCOMPARE(list->columnCount(), 18);
    QStringList headings;
    for (int c = 0; c < 18; ++c) headings << list->headerItem()->text(c);
    QCOMPARE(headings, (QStringList{"Indice", "ID", "Estación", "Banda", "Frec", "Modo", "RSe", "RSr", "Fecha",
                                    "Hora UTC", "MiCall", "Operador", "Observaciones", "Mi Grilla", "Su Grilla",
                                    "Ruk", "Satélite", "Argentina"}));
    QVERIFY(list->isColumnHidden(0) && list->isColumnHidden(1));
    Form1& f = form1();
    f.resize(f.Layout.first().Width / kTwipsPerPixel, f.Layout.first().Height / kTwipsPerPixel);
    f.Form_Resize();  // at its design size
    QCOMPARE(list->columnWidth(2), qRound(1000 / 15.0));
    QCOMPARE(list->columnWidth(12), 3000 / 15);
    QTreeWidgetItem* row = list->topLevelItem(0);
    QCOMPARE(row->text(0), QString("nombre1"));
    QCOMPARE(row->text(kQsoListHora), QString("14:05"));
    QCOMPARE(row->text(15), QString("1"));
    QCOMPARE(row->text(16), QString(""));
    QCOMPARE(row->text(17), QString("Santa Fe"));
    for (int c = 1; c < 18; ++c) QCOMPARE(row->foreground(c).color(), QColor(0, 64, 0));
    QCOMPARE(column(kQsoListFecha), (QStringList{"31/12/2026", ""}));  // a QSO without date sorts last
    QCOMPARE(list->topLevelItem(1)->text(kQsoListHora), QString(""));
  }

  void pagingCommandsWalkTheLog() {
    test::addGeneratedLog("Mi log", 45);
    showLog("Mi log");
    Form1& f = form1();
    struct Step {
      QPushButton* button;
      int page, start;
      const char* buttons;
    } steps[] = {{f.mas, 2, 21, "1111"},      {f.ultima, 3, 41, "1100"}, {f.menos, 2, 21, "1111"},
                 {f.anterior, 1, 1, "0011"}, {f.ultima, 3, 41, "1100"}};
    for (const Step& s : steps) {
      f.Obs->setFocus();
      QTest::mouseClick(s.button, Qt::LeftButton);
      QCOMPARE(state().LogPageNumber, s.page);
      QCOMPARE(state().LogPageStart, s.start);
      QCOMPARE(f.txt_pagina->text(), QString::number(s.page));
      QCOMPARE(buttons(), QString(s.buttons));
      QCOMPARE(calls(), generated(45, s.start, std::min(45, s.start + 19)));
      QCOMPARE(f.focusWidget(), f.Corresponsal);
    }
  }

  void lastPageOfABigLogAndTheNameNeverMatters() {
    // A name holding ", con " and a number: the count comes from the load, not the caption.
    const QString name = "Prueba, con 7";
    test::addGeneratedLog(name, 50000);
    showLog(name);
    Form1& f = form1();
    QCOMPARE(f.txt_total->text(), QString("2500"));
    f.ultima_Click();
    QCOMPARE(state().LogPageNumber, 2500);
    QCOMPARE(state().LogPageStart, 49981);
    QCOMPARE(calls(), generated(50000, 49981, 50000));
    QCOMPARE(buttons(), QString("1100"));

    f.Text3->setText("1250");
    f.Command8_Click();
    QCOMPARE(state().LogPageNumber, 1250);
    QCOMPARE(state().LogPageStart, 24981);
    QCOMPARE(calls(), generated(50000, 24981, 25000));
    f.mas_Click();
    QCOMPARE(calls(), generated(50000, 25001, 25020));

    f.Text3->setText("9999");  // beyond the last page
    f.Command8_Click();
    QCOMPARE(f.Text3->text(), QString("2500"));
    QCOMPARE(state().LogPageStart, 49981);
  }

  void goToPage_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("page");
    QTest::newRow("beyond the last") << "7" << "3" << 3;
    QTest::newRow("zero") << "0" << "1" << 1;
    QTest::newRow("empty") << "" << "1" << 1;
    QTest::newRow("a page") << "2" << "2" << 2;
    QTest::newRow("leading zeros") << "0003" << "0003" << 3;
  }
  void goToPage() {
    QFETCH(QString, typed);
    test::addGeneratedLog("Mi log", 45);
    showLog("Mi log");
    state().LogPageNumber = 2;  // start from the middle page
    state().LogPageStart = 21;
    Form1& f = form1();
    f.ListView2->clear();
    LoadLogPage("Mi log", 21);
    f.Obs->setFocus();
    f.Text3->setText(typed);
    f.Command8_Click();
    QTEST(f.Text3->text(), "box");
    QFETCH(int, page);
    QCOMPARE(state().LogPageNumber, page);
    QCOMPARE(state().LogPageStart, 20 * (page - 1) + 1);
    QCOMPARE(calls().first(), test::generatedCall(45 - 20 * (page - 1)));
    QCOMPARE(f.focusWidget(), f.Corresponsal);
  }

  void goToThePageOnShowOrOnAnEmptyLogOnlyMovesTheFocus() {
    Form1& f = form1();
    test::addGeneratedLog("Mi log", 45);
    showLog("Mi log");
    test::addGeneratedLog("Mi log", 1);  // a reload would now count 46
    for (const char* typed : {"1", "1"}) {
      f.Obs->setFocus();
      f.Text3->setText(typed);
      f.Command8_Click();
      QCOMPARE(f.Label6->text(), QString("Log: Mi log, con 45 QSOs"));
      QCOMPARE(f.focusWidget(), f.Corresponsal);
    }

    showLog("Vacío");
    test::addGeneratedLog("Vacío", 30);
    f.Obs->setFocus();
    f.Text3->setText("5");
    f.Command8_Click();
    QCOMPARE(f.Text3->text(), QString("1"));
    QCOMPARE(f.Label6->text(), QString("Log: Vacío, con 0 QSOs"));
    QCOMPARE(state().LogPageNumber, 1);
    QCOMPARE(state().LogPageStart, 1);
    QCOMPARE(f.focusWidget(), f.Corresponsal);
  }

  void reloadAfterTheLastPagesOnlyQsoWasDeleted() {
    test::addGeneratedLog("Mi log", 41);
    showLog("Mi log");
    Form1& f = form1();
    f.ultima_Click();
    QCOMPARE(calls(), QStringList{"C1"});
    QVERIFY(db::exec("DELETE FROM Tabla1 WHERE Estacion='C1'"));
    f.Command11_Click();
    QCOMPARE(f.txt_pagina->text(), QString("2"));
    QCOMPARE(state().LogPageStart, 21);
    QCOMPARE(calls(), generated(41, 21, 40));  // C21 down to C2
    QCOMPARE(buttons(), QString("1100"));
  }

  void anApostropheLeavesTheLogName() {
    test::addQso("O'Brien", "STORED", "01/01/2024", "10:00:00");
    test::addQso("OBrien", "FOUND", "01/01/2024", "10:00:00");
    showLog("O'Brien");
    QCOMPARE(state().CurrentLogName, QString("OBrien"));
    QCOMPARE(calls(), QStringList{"FOUND"});
    QCOMPARE(form1().Label6->text(), QString("Log: OBrien, con 1 QSOs"));
  }

  void aFailedLoadShowsTheListAndSaysSoOnce() {
    test::addGeneratedLog("Mi log", 25);
    showLog("Mi log");
    Form1& f = form1();
    f.mas_Click();
    db::close();
    f.ListView2->clear();
    LoadLogPage("Mi log", 1);
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages.first().icon, MsgIcon::Critical);
    QVERIFY(dialogs_->lastText().contains("Mi log"));
    QVERIFY(f.ListView2->isVisible());
    QVERIFY(!f.Label9->isVisible());
    QVERIFY(!f.ProgressBar1->isVisible());
    QCOMPARE(f.Label6->text(), QString("Log: Mi log, con 25 QSOs"));
    QCOMPARE(state().LogPageNumber, 2);
    QCOMPARE(state().LogPageStart, 21);
    QCOMPARE(state().LogQsoCount, 25);
  }

  void aMissingColumnIsRetriedOnceAfterAddingTheOptionalOnes() {
    // A Tabla1 of an older file: no Perfil and, damaged, no Argento.
    test::addGeneratedLog("Mi log", 5);
    QVERIFY(db::exec("CREATE TABLE T AS SELECT id, Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                     "Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat FROM Tabla1"));
    QVERIFY(db::exec("DROP TABLE Tabla1"));
    QVERIFY(db::exec("ALTER TABLE T RENAME TO Tabla1"));
    showLog("Mi log");
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY(db::connection().record("Tabla1").contains("Perfil"));
    QVERIFY(form1().ListView2->isVisible());
  }

  void hiddenMaintenanceButtons() {
    test::addGeneratedLog("Mi log", 25);
    QVERIFY(db::exec("INSERT INTO Tabla2 (Modo, [Nombre Log]) VALUES ('CW', 'Concurso')"));
    QVERIFY(db::exec("INSERT INTO Tabla3 (Modo, [Nombre Log]) VALUES ('CW', 'Importado')"));
    showLog("Mi log");
    Form1& f = form1();
    for (QPushButton* b : {f.Command3, f.Command4, f.Command6}) b->click();  // read or add, show nothing
    QVERIFY(dialogs_->messages.isEmpty());
    QCOMPARE(test::rowCount("Tabla1"), 25);

    f.Command5->click();  // "Hacer Tabla!"
    for (const char* table : {"Tabla1", "Tabla2", "Tabla3"}) QCOMPARE(test::rowCount(table), 0);
    QCOMPARE(calls().size(), 20);  // the list on screen waits for the next load
    QCOMPARE(f.Label6->text(), QString("Log: Mi log, con 25 QSOs"));
    QVERIFY(dialogs_->messages.isEmpty());
    QCOMPARE(test::addQso("Mi log", "FIRST", "01/01/2024", "10:00:00"), 1);
    f.Command11_Click();
    QCOMPARE(calls(), QStringList{"FIRST"});

    db::close();
    f.Command5->click();
    QCOMPARE(dialogs_->messages.size(), 1);
  }

  // F5 opens the QSO whose id the hidden label holds: it names a row that was saved.
  void theHiddenLabelHoldsTheIdOfTheLastQsoAdded() {
    Form1& f = form1();
    state().CurrentLogName = "Mi log";
    test::addGeneratedLog("Mi log", 3);
    QVERIFY(InsertLogQso("LU2XYZ", "40m", "SSB", "59", "59", "01/02/2024", "10:00:00", "LU1ABC", QString("LU1ABC"),
                         "", "7.050", QString("GF05"), QString(), "")
                .ok);
    QCOMPARE(f.Label4->text(), QString("4"));
    QVERIFY(InsertImportedQso("LU3XYZ", "40m", "SSB", "59", "59", "01/02/2024", "10:05", "LU1ABC", "LU1ABC", "",
                              "7.050", "GF05", "", "", 0, "")
                .ok);
    QCOMPARE(f.Label4->text(), QString("5"));
    // An overwritten duplicate is no new QSO; a QSO that was not saved leaves it too.
    QVERIFY(UpdateLogQso("LU4XYZ", "40m", "SSB", "59", "59", "01/02/2024", "10:05", "LU1ABC", "LU1ABC", "", "7.050",
                         "GF05", "", "", 0, "", 2)
                .ok);
    db::close();
    QVERIFY(!InsertLogQso("LU5XYZ", "40m", "SSB", "59", "59", "01/02/2024", "10:10:00", "LU1ABC", QString("LU1ABC"),
                          "", "7.050", QString("GF05"), QString(), "")
                 .ok);
    QCOMPARE(f.Label4->text(), QString("5"));
  }

  void headingSort() {
    test::addQso("Mi log", "A", "31/12/2026", "23:00:00", {.band = "80m", .frequency = "3.650"});
    test::addQso("Mi log", "B", "02/01/2027", "08:00:00", {.band = "2m", .frequency = "146.520"});
    test::addQso("Mi log", "C", "02/01/2027", "07:59:00", {.band = "10m", .frequency = "28.500"});
    test::addQso("Mi log", "D", "15/06/2025", "12:00:00", {.band = "40m", .frequency = "7.050"});
    showLog("Mi log");
    QCOMPARE(calls(), (QStringList{"B", "C", "A", "D"}));  // newest first by date and time
    Form1& f = form1();
    QHeaderView* header = f.ListView2->header();
    auto clickHeading = [&](int position) {
      const int section = position - 1;
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    };
    clickHeading(9);  // "Fecha": the order flips from ascending to descending
    QCOMPARE(calls(), (QStringList{"B", "C", "A", "D"}));
    clickHeading(9);
    QCOMPARE(calls(), (QStringList{"D", "A", "C", "B"}));
    clickHeading(5);  // "Frec", numbers, and the order flips again
    QCOMPARE(calls(), (QStringList{"B", "C", "D", "A"}));
    f.ListView2_ColumnClick(2);  // the zero-width "ID" heading sorts by band
    QCOMPARE(column(kQsoListBanda), (QStringList{"10m", "2m", "40m", "80m"}));
    // Sorting stays on for later loads.
    f.Command11_Click();
    QCOMPARE(column(kQsoListBanda), (QStringList{"10m", "2m", "40m", "80m"}));
  }
};

QTEST_MAIN(TstLogList)
#include "tst_loglist.moc"
