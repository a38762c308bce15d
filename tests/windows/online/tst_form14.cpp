#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "exchange/form6.h"
#include "exchange/searchlistmodel.h"
#include "exchange/searchquery.h"
#include "mainwin/form1.h"
#include "mainwin/qsolist.h"
#include "online/form14.h"
#include "platform/database.h"
#include "platform/steprunning.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/logfixture.h"
#include "support/quietmainwindow.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QsoListRow inputRow(const QString& band, const QString& ruk, const QString& province, const QString& grid = {},
                    const QString& satellite = {}) {
  QsoListRow r;
  r.cells[kQsoListBanda] = band;
  r.cells[14] = grid;
  r.cells[15] = ruk;
  r.cells[16] = satellite;
  r.cells[17] = province;
  return r;
}

QTreeWidgetItem* gridRow(const QString& province) {
  const auto found = form14().ListView2->findItems(province, Qt::MatchExactly, 2);
  return found.isEmpty() ? nullptr : found.first();
}

// Columns of a grid row that show an icon, by heading.
QStringList iconColumns(const QString& province) {
  QStringList out;
  QTreeWidgetItem* r = gridRow(province);
  if (!r) return {QStringLiteral("no row")};
  for (int c = 3; c < form14().ListView2->columnCount(); ++c)
    if (!r->icon(c).isNull()) out << form14().ListView2->headerItem()->text(c);
  return out;
}

QStringList items(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

// n QSOs of the log with a province, in one transaction: all from Córdoba on 40m,
// uploaded, and the last one confirmed, so the grid is only right once every row has
// been read.
void addUploadedCordobaQsos(const QString& log, int n) {
  QVERIFY(db::transaction([&] {
    for (int i = 0; i < n; ++i)
      test::addQso(log, QStringLiteral("LU%1AA").arg(i), "01/03/2021", "10:00:00",
                   {.ruk = i + 1 == n ? "2" : "1", .province = QString::fromUtf8("Córdoba"), .grid = "FF78"});
    return Status::success();
  }));
}

// Watches the event loop while the award window's grid is being built: at each turn
// that finds the progress bar moved it notes where the bar stands and runs `atTurn`
// with the number of such turns so far.
struct BuildTurns {
  QList<int> progress;
  QTimer timer;
  explicit BuildTurns(std::function<void(int)> atTurn = {}) {
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [this, atTurn] {
      if (!FormInstance<Form14>::loaded() || !stepRunning(&form14(), "grid")) return;
      const int at = form14().ProgressBar1->value();
      if (!progress.isEmpty() && progress.back() == at) return;
      progress << at;
      if (atTurn) atTurn(int(progress.size()));
    });
    timer.start();
  }
};

// "Provincias Argentinas" from the File menu, on as it is after start-up.
void openProvincesFromTheMenu() {
  SetFileMenuEnabled(QStringLiteral("1"));
  form1().parg->trigger();
}

// "Provincias Argentinas" from the menu; `steps` run with the award window once its
// grid is built, outside the build (never nested in one of its yields), and the window
// is closed afterwards. False when no grid came within 20 s.
bool withBuiltGrid(const std::function<void(Form14&)>& steps) {
  bool ran = false;
  QElapsedTimer waited;
  waited.start();
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!FormInstance<Form14>::loaded()) return;
    Form14& f = form14();
    if (!f.isVisible()) return;
    const bool built = f.ListView2->topLevelItemCount() == 26 && !stepRunning(&f, "grid");
    if (!built && waited.elapsed() < 20000) return;
    poll.stop();
    if (built) {
      ran = true;
      steps(f);
    }
    f.close();
  });
  poll.start();
  openProvincesFromTheMenu();
  return ran;
}

}  // namespace

class TstForm14 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state().CurrentLogName = QStringLiteral("General");
    state().ListedQsoCount = 0;
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form14>::unload();
    dialogs.reset();
    folder.reset();
  }

  void activationBuildsTheGridFromTheInputListOnly() {
    Form14& f = form14();
    int day = 0;
    for (const QsoListRow& r : {inputRow("40m", "2", "Córdoba", "FF78ab"), inputRow("40m", "", "Córdoba", "FF78"),
                                inputRow("2m", "1", "Salta", "GF05", "AO-91"), inputRow("20m", "", "Jujuy", "GG01"),
                                inputRow("10m", "2", "Chaco", "GG10")}) {
      ++day;
      test::addQso("General", QStringLiteral("LU%1AA").arg(day), QStringLiteral("%1/03/2021").arg(day, 2, 10, QChar('0')),
                   "10:00:00",
                   {.band = r.cells[kQsoListBanda], .ruk = r.cells[15], .satellite = r.cells[16],
                    .province = r.cells[17], .grid = r.cells[14]});
    }
    f.InputModel->setListing(ListProvinceQsos("General").value);
    // A count larger than the list (another list was counted since) reads the rows
    // there are; a smaller one leaves the rest out.
    state().ListedQsoCount = 40;
    f.Form_Activate();
    QCOMPARE(f.ListView2->topLevelItemCount(), 26);
    QCOMPARE(iconColumns("Córdoba"), QStringList{"40m"});
    QCOMPARE(iconColumns("Salta"), QStringList{"Sat"});
    QCOMPARE(iconColumns("Jujuy"), QStringList{"20m"});
    QCOMPARE(iconColumns("Chaco"), QStringList{"10m"});
    QCOMPARE(gridRow("Córdoba")->foreground(2).color(), QColor(0, 128, 0));
    QCOMPARE(gridRow("Salta")->foreground(2).color(), QColor(192, 64, 0));
    QCOMPARE(gridRow("Jujuy")->foreground(2).color(), QColor(0, 0, 0));
    QTreeWidgetItem* summary = f.ListView2->topLevelItem(25);
    QCOMPARE(summary->text(2), QStringLiteral("Confirmados/Trabajados"));
    QCOMPARE(summary->text(6), QStringLiteral("1/0"));   // 40m
    QCOMPARE(summary->text(12), QStringLiteral("1/0"));  // 10m
    QCOMPARE(summary->text(14), QStringLiteral("0/1"));  // Sat
    QCOMPARE(items(f.List1), (QStringList{"FF78", "GG10"}));
    QCOMPARE(items(f.List2), (QStringList{"GF05", "GG01"}));
    QCOMPARE(f.Frame2->title(), QStringLiteral("Confirmadas (2)"));
    QCOMPARE(f.Frame3->title(), QStringLiteral("Trabajadas (2)"));
    QVERIFY(f.ProgressBar1->isHidden());

    state().ListedQsoCount = 1;
    f.Form_Activate();
    QCOMPARE(iconColumns("Chaco"), QStringList{});
    QCOMPARE(items(f.List1), QStringList{"FF78"});
  }

  void longListIsTalliedInStepsWithTheBarMoving() {
    constexpr int kRows = 2 * Form14::kRowsPerStep + 10;
    addUploadedCordobaQsos("General", kRows);
    state().LogQsoCount = kRows;
    BuildTurns turns;
    QStringList worked, confirmedSquares;
    QString summary40m;
    bool barHidden = false;
    QVERIFY(withBuiltGrid([&](Form14& f) {
      worked = iconColumns(QString::fromUtf8("Córdoba"));
      summary40m = f.ListView2->topLevelItem(25)->text(6);
      confirmedSquares = items(f.List1);
      barHidden = f.ProgressBar1->isHidden();
    }));
    // The event loop turns inside the build, at the latest after each step's rows, the
    // bar a part further at each turn and short of its end.
    QVERIFY(turns.progress.contains(25 * Form14::kRowsPerStep / kRows));
    QVERIFY(turns.progress.contains(25 * 2 * Form14::kRowsPerStep / kRows));
    QVERIFY(std::is_sorted(turns.progress.begin(), turns.progress.end()));
    QVERIFY(turns.progress.first() > 0 && turns.progress.last() < 25);
    QCOMPARE(worked, QStringList{"40m"});
    QCOMPARE(summary40m, QStringLiteral("1/0"));  // the confirmation in the last row counts
    QCOMPARE(confirmedSquares, QStringList{"FF78"});
    QVERIFY(barHidden);
    QVERIFY(!FormInstance<Form14>::loaded());
  }

  void closingDuringTheTallyStopsItAndTheNextShowingBuildsAgain() {
    constexpr int kRows = 3 * Form14::kRowsPerStep;
    addUploadedCordobaQsos("General", kRows);
    state().LogQsoCount = kRows;
    {
      // The operator closes the window from its title bar as the bar first moves.
      BuildTurns turns([](int turn) {
        if (turn == 1) form14().close();
      });
      openProvincesFromTheMenu();
      QCOMPARE(turns.progress.size(), 1);  // no step of the build after the close
      QVERIFY(!FormInstance<Form14>::loaded());
      QCoreApplication::processEvents();
      QVERIFY(!FormInstance<Form14>::loaded());  // nothing made the window again
      QVERIFY(form1().ListView2->isVisibleTo(&form1()));
    }
    // Opened again, it tallies the whole list.
    QStringList worked;
    QVERIFY(withBuiltGrid([&](Form14&) { worked = iconColumns(QString::fromUtf8("Córdoba")); }));
    QCOMPARE(worked, QStringList{"40m"});
  }

  void activationDuringTheTallyDoesNotStartASecondBuild() {
    constexpr int kRows = 2 * Form14::kRowsPerStep + 1;
    addUploadedCordobaQsos("General", kRows);
    state().LogQsoCount = kRows;
    QWidget other;
    other.show();
    // The operator goes to another window of the program and back while the grid is
    // being built.
    BuildTurns turns([&](int turn) {
      if (turn != 1) return;
      QApplication::setActiveWindow(&other);
      QApplication::setActiveWindow(&form14());
    });
    int rows = -1;
    QString summary40m;
    QVERIFY(withBuiltGrid([&](Form14& f) {
      rows = f.ListView2->topLevelItemCount();
      summary40m = f.ListView2->topLevelItem(25)->text(6);
    }));
    QVERIFY(turns.progress.size() >= 2);  // the build went on after the activation
    QCOMPARE(rows, 26);
    QCOMPARE(summary40m, QStringLiteral("1/0"));
  }

  void headingClicksSortAndFlip() {
    Form14& f = form14();
    f.Form_Activate();
    f.ListView2_ColumnClick(3);  // "Provincia", descending first
    QCOMPARE(f.ListView2->topLevelItem(0)->text(2), QStringLiteral("Tucumán"));
    f.ListView2_ColumnClick(3);
    QCOMPARE(f.ListView2->topLevelItem(0)->text(2), QStringLiteral("Antártida"));
    f.ListView2_ColumnClick(2);  // the hidden "ID" sorts by "160m"
    QCOMPARE(f.SortKey, 3);
  }

  void activationRebuildsOnlyWhenComingFromThisProgram() {
    Form14& f = form14();
    QWidget other;
    f.show();
    QApplication::setActiveWindow(&f);
    f.ListView2_ColumnClick(3);  // "Provincia", descending
    QCOMPARE(f.ListView2->topLevelItem(0)->text(2), QStringLiteral("Tucumán"));

    // The operator looks at another program and comes back: the sorted grid stays.
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&f);
    QCOMPARE(f.ListView2->topLevelItem(0)->text(2), QStringLiteral("Tucumán"));

    // Back from another window of this program: the grid is built afresh.
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(&f);
    QCOMPARE(f.ListView2->topLevelItem(0)->text(2), QStringLiteral("Capital"));
  }

  void logoDoubleClickOpensTheServiceHomePage() {
    test::RecordingLauncher launcher;
    qputenv("VZ_URL_RUK", "http://127.0.0.1:9/ruk");
    QTest::mouseDClick(form14().Image4, Qt::LeftButton);
    qunsetenv("VZ_URL_RUK");
    QCOMPARE(launcher.calls.size(), 1);
    QCOMPARE(launcher.calls[0].kind, test::RecordingLauncher::Kind::Url);
    QCOMPARE(launcher.calls[0].target, QStringLiteral("http://127.0.0.1:9/ruk"));
  }

  void provincesCommandListsTheLogAndOpensTheWindow() {
    using test::addQso;
    test::addPlaceholder("General");
    addQso("General", "LU1AA", "01/03/2021", "10:00:00", {.ruk = "2", .province = "Córdoba"});
    addQso("General", "CX1AA", "01/03/2021", "11:00:00", {.ruk = "2", .province = ""});
    addQso("General", "LU2AA", "02/03/2021", "10:00:00", {.ruk = "0", .province = "Salta"});
    addQso("Otro", "LU3AA", "02/03/2021", "10:00:00", {.ruk = "2", .province = "Chaco"});
    state().LogQsoCount = 1;  // the count only decides whether the command runs

    QStringList seen;
    int listed = -1;
    // Looks at the window once its modal showing has begun.
    QTimer watch;
    watch.setInterval(10);
    connect(&watch, &QTimer::timeout, this, [&] {
      if (!FormInstance<Form14>::loaded() || !form14().isVisible()) return;
      watch.stop();
      listed = state().ListedQsoCount;
      form14().Form_Activate();
      seen = iconColumns("Córdoba") + iconColumns("Salta") + iconColumns("Chaco");
      form14().close();
    });
    watch.start();
    form1().parg_Click();
    QCOMPARE(listed, 2);
    QCOMPARE(seen, (QStringList{"40m", "40m"}));
    QVERIFY(!FormInstance<Form14>::loaded());
    QVERIFY(form1().ListView2->isVisibleTo(&form1()));
    QVERIFY(form1().Label9->isHidden());
  }

  void searchViewMatrixShowsOnlyUploadedQsosAndSurvivesActivation() {
    using test::addQso;
    addQso("General", "LU1AA", "01/03/2021", "10:00:00", {.ruk = "1", .province = "Córdoba"});
    addQso("General", "LU1AB", "02/03/2021", "10:00:00", {.ruk = "2", .province = "Córdoba"});
    addQso("General", "LU2AA", "01/03/2021", "11:00:00", {.ruk = "0", .province = "Salta"});
    addQso("General", "LU3AA", "01/03/2021", "12:00:00", {.band = "40M", .ruk = "2", .province = "Jujuy"});
    addQso("General", "LU4AA", "01/03/2021", "13:00:00",
           {.band = "10m", .ruk = "1", .satellite = "AO-91", .province = "Chaco"});
    // The count of the log is larger than what the list will hold.
    state().LogQsoCount = 9;

    Form6& search = form6();
    search.Text5->setText(QStringLiteral("LU9"));  // a filter the matrix clears
    QStringList seen;
    QColor cordobaName;
    QTimer watch;
    watch.setInterval(10);
    connect(&watch, &QTimer::timeout, this, [&] {
      if (!FormInstance<Form14>::loaded() || !form14().isVisible()) return;
      watch.stop();
      form14().Form_Activate();  // the window's own build leaves the matrix alone
      seen = iconColumns("Córdoba") + iconColumns("Salta") + iconColumns("Jujuy") + iconColumns("Chaco");
      cordobaName = gridRow("Córdoba")->foreground(2).color();
      seen << QString::number(form14().ListView2->topLevelItemCount());
      form14().close();
    });
    watch.start();
    search.Command5_Click();
    QCOMPARE(seen, (QStringList{"40m", "10m", "25"}));
    QCOMPARE(cordobaName, QColor(0, 0, 0));
    QVERIFY(!search.Command5->isEnabled());
    QVERIFY(search.isHidden());
    QCOMPARE(search.Text5->text(), QString());
    FormInstance<Form6>::unload();
  }

  void provincesCommandWithAnEmptyLogOnlyTellsSo() {
    state().LogQsoCount = 0;
    form1().parg_Click();
    QCOMPARE(dialogs->lastText(), QStringLiteral("No hay QSOs para mostrar!"));
    QVERIFY(!FormInstance<Form14>::loaded());
  }

  void membersFetchAddsOneLinePerPage() {
    test::LocalHttpServer server;
    qputenv("VZ_URL_RUK", server.base().toLatin1());
    server.replies.enqueue({200, "text/plain", "57 nomo:LU1AA, LU2BB ultimar:LU3CC"});
    server.replies.enqueue({200, "text/plain", "58 nomo:LU1AA ultimar:LU4DD"});
    server.replies.enqueue({404, "text/html", "<html><body>Not Found</body></html>"});
    Form14& f = form14();
    f.Command1_Click();
    QVERIFY(!f.Command1->isEnabled());
    QVERIFY(!f.Frame5->isHidden());
    f.Command2_Click();
    QVERIFY(f.Command1->isEnabled());
    QVERIFY(f.Frame5->isHidden());
    f.Command1_Click();
    f.Command2_Click();
    f.Command1_Click();
    qunsetenv("VZ_URL_RUK");
    QCOMPARE(server.requests.size(), 3);
    QCOMPARE(server.requests[0].target, QByteArray("/php/vantorel55.php?"));
    QCOMPARE(items(f.List3), (QStringList{"57 LU1AA, LU2BB>LU3CC", "58 LU1AA>LU4DD"}));
    QCOMPARE(f.List3->currentRow(), 1);
    QCOMPARE(dialogs->messages.size(), 1);  // the page without a list
  }

  void membersFetchGivesUpWithoutConnection() {
    test::LocalHttpServer server;
    qputenv("VZ_URL_RUK", server.base().toLatin1());
    server.defaultReply.silent = true;
    form2().Timer1->setInterval(10);
    Form14& f = form14();
    f.Command1_Click();
    qunsetenv("VZ_URL_RUK");
    QCOMPARE(dialogs->lastText(), QStringLiteral("No parace haber conexión con internet!"));
    QCOMPARE(f.List3->count(), 0);
    QVERIFY(!f.Command1->isEnabled());
    QCOMPARE(state().NetTimeoutTicks, 0);
    f.Command2_Click();
    QVERIFY(f.Command1->isEnabled());
  }
};

QTEST_MAIN(TstForm14)
#include "tst_form14.moc"
