#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>

#include "exchange/adif.h"
#include "exchange/form6.h"
#include "exchange/searchexport.h"
#include "exchange/searchlistmodel.h"
#include "mainwin/form1.h"
#include "mainwin/form5.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/recordinglauncher.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

struct Qso {
  QString call, date, time, mode, band, frequency;
  QString remarks{};
  QString satellite{};
  QString ruk = QStringLiteral("1");
  QString log = QStringLiteral("Mi Log");
};

QString cell(const QTreeView* list, int row, int column) {
  return list->model()->index(row, column).data().toString();
}

qint64 store(const Qso& s) {
  QSqlQuery q(db::connection());
  const Status ok = db::run(
      q,
      "INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, [Nombre Log], "
      "Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) VALUES (?,?,'LU9ZZ',?,?,?,'59','57',?,'LU8OP',?,?,"
      "'GF05TJ','FF78',?,?,'')",
      {db::textValue(s.mode), db::textValue(s.band), db::textValue(s.call), db::textValue(s.date),
       db::textValue(s.time), db::textValue(s.remarks), db::textValue(s.log), db::textValue(s.frequency),
       db::textValue(s.ruk), db::textValue(s.satellite)});
  return ok ? q.lastInsertId().toLongLong() : -1;
}

QStringList calls(const QTreeView* list) {
  QStringList c;
  for (int i = 0; i < list->model()->rowCount(); ++i) c << cell(list, i, 2);
  return c;
}

// Ends with each test, and with it every step still waiting.
std::unique_ptr<QObject> stepScope;

// Runs steps once the window is on show, from inside its modal loop.
template <class Form>
void whenShown(std::function<void()> steps) {
  QTimer::singleShot(10, stepScope.get(), [steps = std::move(steps)]() mutable {
    if (FormInstance<Form>::loaded() && FormInstance<Form>::get().isVisible())
      steps();
    else
      whenShown<Form>(std::move(steps));
  });
}

// Which way the sort arrow of a header section points, read from the drawn header:
// the pixels that change when the arrow is shown, and whether more of them lie in
// the lower half (a point up, its base below) or in the upper half.
enum class Arrow { None, Up, Down };
Arrow drawnArrow(QHeaderView* header, int section) {
  const int key = header->sortIndicatorSection();
  const Qt::SortOrder order = header->sortIndicatorOrder();
  const QRect r(header->sectionViewportPosition(section), 0, header->sectionSize(section), header->height());
  const QImage with = header->grab(r).toImage();
  header->setSortIndicatorShown(false);
  const QImage without = header->grab(r).toImage();
  header->setSortIndicatorShown(true);
  header->setSortIndicator(key, order);
  int top = with.height(), bottom = -1;
  QList<int> rows;
  for (int y = 0; y < with.height(); ++y)
    for (int x = 0; x < with.width(); ++x)
      if (with.pixel(x, y) != without.pixel(x, y)) {
        rows << y;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (rows.isEmpty() || bottom <= top) return Arrow::None;
  const double middle = (top + bottom) / 2.0;
  const auto upper = std::count_if(rows.begin(), rows.end(), [&](int y) { return y < middle; });
  const auto lower = std::count_if(rows.begin(), rows.end(), [&](int y) { return y > middle; });
  return lower > upper ? Arrow::Up : Arrow::Down;
}

}  // namespace

class TstForm6 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;
  std::unique_ptr<FixedClock> clock;
  qint64 idLu1 = 0, idEa = 0;

  // The search view shown without a modal loop, filled as the opening fills it.
  Form6& shown() {
    Form6& f = form6();
    f.fillWithCurrentLog();
    f.show();
    return f;
  }

 private slots:
  void init() {
    stepScope = std::make_unique<QObject>();
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    clock = std::make_unique<FixedClock>(QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)));
    setClock(clock.get());
    state() = ProgramState{};
    state().CurrentLogName = "Mi Log";
    db::exec("INSERT INTO Tabla1 ([Nombre Log]) VALUES ('Mi Log')");
    idLu1 = store({"LU1ABC", "01/03/2024", "10:00:00", "SSB", "40m", "7.050", "Saludos <73>"});
    idEa = store({"EA4XYZ", "02/03/2024", "11:15:00", "FM", "2m", "145.900", "", "AO-91"});
    store({"LU2DEF", "05/03/2024", "09:30:00", "Echo IP", "70cm", "435.1234", "  ", "", "2"});
    store({"W1AW", "01/03/2024", "10:00:00", "SSB", "20m", "14.200", "", "", "1", "Otro"});
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
    LoadLogPage("Mi Log", 1);
  }

  void cleanup() {
    stepScope.reset();
    FormInstance<Form5>::unload();
    FormInstance<Form6>::unload();
    FormInstance<Form1>::unload();
    setClock(nullptr);
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void openingListsTheLogNewestFirstAndClosingReloadsTheMainList() {
    QStringList listed;
    QString count;
    bool mainListHidden = false, exportEnabled = false;
    whenShown<Form6>([&] {
      Form6& f = form6();
      listed = calls(f.ListView2);
      count = f.Label6->text();
      mainListHidden = form1().ListView2->isHidden();
      exportEnabled = f.Command1->isEnabled();
      f.close();
    });
    form1().eadif_Click();

    QCOMPARE(listed, QStringList({"LU2DEF", "EA4XYZ", "LU1ABC"}));
    QCOMPARE(count, QString("3"));
    QVERIFY(mainListHidden);
    QVERIFY(exportEnabled);
    QVERIFY(!FormInstance<Form6>::loaded());  // the title bar unloads it
    QVERIFY(!form1().ListView2->isHidden());
    QCOMPARE(form1().ListView2->topLevelItemCount(), 3);
    QVERIFY(form1().Label9->isHidden());
    QVERIFY(!state().SearchViewOpening);
  }

  void anEmptyLogIsRefused() {
    state().CurrentLogName = "Vacío";
    form1().ListView2->clear();
    LoadLogPage("Vacío", 1);
    form1().eadif_Click();
    QCOMPARE(dialogs->lastText(), QString("No hay QSOs para exportar!"));
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Exclamation);
    QVERIFY(!FormInstance<Form6>::loaded());
    QVERIFY(!form1().ListView2->isHidden());
    QVERIFY(form1().Label9->isHidden());
  }

  void searchFiltersAndExportWritesTheListedRows() {
    const QString path = folder->file("sel dos.adi");  // a blank in the name, no quoting
    dialogs->answers << MsgAnswer::Yes << MsgAnswer::Yes;  // COMMENT as QSLMSG; see the file
    dialogs->files << path;
    bool hiddenAfterExport = false;
    whenShown<Form6>([&] {
      Form6& f = form6();
      QTest::keyClicks(f.Text5, "lu*");
      f.Command3->click();
      f.Command1->click();
      hiddenAfterExport = f.isHidden();
    });
    form1().eadif_Click();

    QVERIFY(hiddenAfterExport);
    QVERIFY(FormInstance<Form6>::loaded());  // hidden, not unloaded
    QVERIFY(!form1().ListView2->isHidden());
    QVERIFY(state().UseCommentAsQslMsg);
    QCOMPARE(dialogs->fileRequests.last().title, QString("Exportar a ADIF ..."));
    QCOMPARE(dialogs->lastText(), path + "\r\nGuardado!\r\n\r\nDesea verlo?");
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls.first().target, path);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        "<PROGRAMID:17>Van Torel Zezeror\r\n<PROGRAMVERSION:6>2.1.21\r\n<ADIF_VER:4>3.04\r\n"
        "<CREATED_TIMESTAMP:15>20250102 030405\r\n<EOH>\r\n"
        // oldest first after a search
        "<STATION_CALLSIGN:5>LU9ZZ<CALL:6>LU1ABC<MODE:3>SSB<BAND:3>40m<FREQ:5>7.050<QSO_DATE:8>20240301"
        "<TIME_ON:4>1000<RST_SENT:2>59<RST_RCVD:2>57<OPERATOR:5>LU8OP<COMMENT:12>Saludos <73>"
        "<QSLMSG:12>Saludos <73><MY_GRIDSQUARE:6>GF05TJ<GRIDSQUARE:4>FF78<EOR>\r\n"
        "<STATION_CALLSIGN:5>LU9ZZ<CALL:6>LU2DEF<MODE:3>VOI<PROP_MODE:3>ECH<BAND:4>70cm<FREQ:8>435.1234"
        "<QSO_DATE:8>20240305<TIME_ON:4>0930<RST_SENT:2>59<RST_RCVD:2>57<OPERATOR:5>LU8OP<QSLMSG:2>  "
        "<MY_GRIDSQUARE:6>GF05TJ<GRIDSQUARE:4>FF78<EOR>\r\n"
        "<EOF>\r\n";
    QCOMPARE(file.readAll(), expected);

    // The next opening lists the whole log again and keeps the other filters.
    QStringList listed;
    QString callFilter, from = "?";
    whenShown<Form6>([&] {
      listed = calls(form6().ListView2);
      from = form6().Text1->text();
      callFilter = form6().Text5->text();
      form6().close();
    });
    form6().Text1->setText("01/01/2024");
    form1().eadif_Click();
    QCOMPARE(listed.size(), 3);
    QCOMPARE(callFilter, QString("LU*"));
    QVERIFY(from.isEmpty());
  }

  void exportStopsWithoutTouchingTheFile_data() {
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QString>("badDate");
    QTest::addColumn<QString>("message");
    QTest::newRow("cancelled") << false << QString() << QString("Desea usar el campo COMMENT como QSLMSG?");
    QTest::newRow("not replaced") << true << QString() << QString();
    QTest::newRow("row without a date") << true << QString("sin fecha") << QString();
  }

  void exportStopsWithoutTouchingTheFile() {
    QFETCH(bool, fileExists);
    QFETCH(QString, badDate);
    QFETCH(QString, message);
    const QString path = folder->file("viejo.adi");
    if (fileExists) {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("antes");
    }
    Form6& f = shown();
    if (!badDate.isEmpty()) {
      QVERIFY(db::exec("UPDATE Tabla1 SET Fecha=? WHERE id=?", {badDate, idEa}));
      f.fillWithCurrentLog();
    }
    dialogs->answers << MsgAnswer::No << (badDate.isEmpty() ? MsgAnswer::No : MsgAnswer::Yes);
    if (fileExists) dialogs->files << path;
    f.Command1->click();

    QVERIFY(f.isVisible());
    QVERIFY(!dialogs->texts().join("|").contains("Guardado!"));
    if (!message.isEmpty()) QCOMPARE(dialogs->lastText(), message);
    if (fileExists) {
      QFile kept(path);
      QVERIFY(kept.open(QIODevice::ReadOnly));
      QCOMPARE(kept.readAll(), QByteArray("antes"));
      QVERIFY(dialogs->texts().contains("El archivo \r\n" + path + "\r\nya existe!\r\n\r\nsobregraba?"));
    }
    if (!badDate.isEmpty()) QCOMPARE(dialogs->messages.last().icon, MsgIcon::Critical);
  }

  void doubleClickEditsAndTheRowFollowsTheSave() {
    Form6& f = shown();
    f.Text1->setText("01/01/2024");
    const QModelIndex item = f.ListView2->model()->index(1, 2);  // EA4XYZ
    QCOMPARE(item.data().toString(), QString("EA4XYZ"));
    QString caption, satellite, khz, mode;
    whenShown<Form5>([&] {
      Form5& e = form5();
      caption = e.windowTitle();
      satellite = e.Text12->text();
      khz = e.Text9->text();
      mode = e.Combo2->currentText();
      e.Text2->setText("EA4ZZZ");
      e.Command1->click();
    });
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.ListView2->setCurrentIndex(item);
    const QRect r = f.ListView2->visualRect(item);
    // A double-click is a click followed by the double-click event.
    QTest::mouseClick(f.ListView2->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(f.ListView2->viewport(), Qt::LeftButton, {}, r.center());

    QCOMPARE(state().EditCallerForm, QString("Form6"));
    QCOMPARE(caption, "Edición de QSO #" + QString::number(idEa));
    QCOMPARE(satellite, QString("AO-91"));
    QCOMPARE(khz, QString("900"));
    QCOMPARE(mode, QString("FM"));
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF", "EA4ZZZ", "LU1ABC"}));
    QCOMPARE(f.Label6->text(), QString("3"));
    QVERIFY(f.Text1->text().isEmpty());
    QCOMPARE(item.data(Qt::ForegroundRole).value<QBrush>().color(), QColor::fromRgb(kQsoListSubItemColour));
  }

  // A QSO of four kHz digits opened from the list and saved unchanged keeps them.
  void savingUnchangedKeepsFourKhzDigits() {
    Form6& f = shown();
    const QModelIndex item = f.ListView2->model()->index(0, 4);  // LU2DEF at 435.1234
    QCOMPARE(item.data().toString(), QString("435.1234"));
    QString khz;
    whenShown<Form5>([&] {
      khz = form5().Text9->text();
      form5().Command1->click();
    });
    f.ListView2->setCurrentIndex(item);
    f.ListView2_DblClick();
    QCOMPARE(khz, QString("1234"));
    QSqlQuery q(db::connection());
    QVERIFY(db::run(q, "SELECT Frecuencia FROM Tabla1 WHERE Estacion='LU2DEF'"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QString("435.1234"));
    QCOMPARE(cell(f.ListView2, 0, 4), QString("435.1234"));
  }

  // A QSO whose worked call was emptied in the log keeps its row, rewritten.
  void aRowWhoseCallWasEmptiedStays() {
    Form6& f = shown();
    QVERIFY(db::exec("UPDATE Tabla1 SET Estacion='' WHERE id=?", {idLu1}));
    f.RefreshSearchListRow(idLu1);
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF", "EA4XYZ", ""}));
    QCOMPARE(f.Label6->text(), QString("3"));
  }

  void deletingTheLastRowsDisablesTheButtons() {
    Form6& f = shown();
    f.Text5->setText("LU1ABC");
    f.Command3->click();
    QCOMPARE(calls(f.ListView2), QStringList({"LU1ABC"}));
    dialogs->answers << MsgAnswer::Yes;  // delete it
    whenShown<Form5>([] { form5().Command2->click(); });
    f.ListView2->setCurrentIndex(f.ListView2->model()->index(0, 2));
    f.ListView2_DblClick();
    QCOMPARE(f.ListView2->model()->rowCount(), 0);
    QCOMPARE(f.Label6->text(), QString("0"));
    QVERIFY(!f.Command1->isEnabled());
    QVERIFY(!f.Command6->isEnabled());
    QVERIFY(!f.Command8->isEnabled());
    // Nothing to open: the double-click does nothing.
    f.ListView2_DblClick();
    QVERIFY(!FormInstance<Form5>::loaded() || form5().isHidden());
  }

  void filterBoxesTakeOnlyWhatTheyAllow() {
    Form6& f = shown();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::keyClicks(f.Text5, "lu1 a-b*/?");
    QTest::sendKeyEvent(QTest::KeyAction::Click, f.Text5, Qt::Key_unknown, QString::fromUtf8("ñ"), {});
    QCOMPARE(f.Text5->text(), QString("LU1AB*/?"));
    QTest::keyClicks(f.Text1, "1/3x/2024.");
    QCOMPARE(f.Text1->text(), QString("1/3/2024"));
    QTest::keyClicks(f.Text8, "a b");
    QCOMPARE(f.Text8->text(), QString("a b"));

    struct { const char* typed; const char* left; } bands[] = {{" 20 ", "20M"}, {"70cm", "70CM"}, {"  ", ""}};
    for (const auto& b : bands) {
      f.Text7->setFocus();
      f.Text7->setText(b.typed);
      f.Text6->setFocus();
      QCOMPARE(f.Text7->text(), QString(b.left));
    }

    dialogs->clear();
    f.Text2->setFocus();
    f.Text2->setText("31/02/2024");
    f.Text6->setFocus();
    QCOMPARE(dialogs->lastText(), QString("Error en el formato de fecha!"));
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Critical);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text2));
  }

  void clearingTheFiltersListsTheWholeLogOldestFirst() {
    Form6& f = shown();
    QVERIFY(!f.Command4->isEnabled());
    f.Text6->setText("x");
    QVERIFY(f.Command4->isEnabled());
    f.Text6->clear();
    QVERIFY(!f.Command4->isEnabled());

    f.Check2->setChecked(true);
    QVERIFY(f.Option3->isEnabled());
    QVERIFY(!f.Image1->isHidden());
    f.Option3->setChecked(true);
    f.Command3->click();
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF"}));
    f.Check1->setChecked(true);
    QVERIFY(f.Timer1->isActive());

    f.Command4->click();
    QCOMPARE(calls(f.ListView2), QStringList({"LU1ABC", "EA4XYZ", "LU2DEF"}));
    QVERIFY(!f.Check1->isChecked());
    QVERIFY(!f.Check2->isChecked());
    QVERIFY(!f.Option3->isEnabled());
    QVERIFY(f.Image1->isHidden());
    QVERIFY(!f.Timer1->isActive());
    QVERIFY(!f.Command4->isEnabled());
    QCOMPARE(cell(f.ListView2, 0, 15), QString("1"));
  }

  void aBadDateBoundKeepsTheListAndSaysSo() {
    Form6& f = shown();
    f.Text1->setText("31/02/2024");
    f.Command3->click();
    QCOMPARE(dialogs->lastText(), QString("Error en el formato de fecha!"));
    QCOMPARE(f.ListView2->model()->rowCount(), 3);
    QCOMPARE(f.Label6->text(), QString("3"));
    QVERIFY(f.Label13->isHidden());
    QVERIFY(!f.ListView2->isHidden());
  }

  void headingClicksFlipTheOrderAndLaterFillsFollowIt() {
    Form6& f = shown();
    const int dateColumn = 8;
    f.ListView2_ColumnClick(dateColumn + 1);  // first click: descending
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF", "EA4XYZ", "LU1ABC"}));
    f.ListView2_ColumnClick(dateColumn + 1);
    QCOMPARE(calls(f.ListView2), QStringList({"LU1ABC", "EA4XYZ", "LU2DEF"}));
    f.ListView2_ColumnClick(2 + 1);  // another heading: the order flips again
    f.Command3->click();
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF", "LU1ABC", "EA4XYZ"}));
  }

  // The arrow over the sorted column points the way the list runs: down while the
  // largest value is on top, up while the smallest is.
  void theSortArrowShowsTheListsOrder() {
    Form6& f = shown();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QHeaderView* header = f.ListView2->header();
    test::clickHeading(header, kQsoListEstacion);
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF", "LU1ABC", "EA4XYZ"}));
    QCOMPARE(drawnArrow(header, kQsoListEstacion), Arrow::Down);
    test::clickHeading(header, kQsoListEstacion);
    QCOMPARE(calls(f.ListView2), QStringList({"EA4XYZ", "LU1ABC", "LU2DEF"}));
    QCOMPARE(drawnArrow(header, kQsoListEstacion), Arrow::Up);
  }

  // Frequencies of up to ten characters show whole in their column, at the list's
  // font and at a larger one.
  void theFrequencyColumnShowsWholeValues_data() {
    QTest::addColumn<double>("pointSize");
    QTest::newRow("list font") << 0.0;
    QTest::newRow("larger font") << 13.5;
  }
  void theFrequencyColumnShowsWholeValues() {
    QFETCH(double, pointSize);
    for (const char* freq : {"145.500", "1296.20000", "14.0745000", "10368.1000"})
      store({"LU3XYZ", "06/03/2024", "12:00:00", "CW", "2m", freq});
    Form6& f = shown();
    if (pointSize > 0) {
      QFont larger = f.font();
      larger.setPointSizeF(pointSize);
      f.setFont(larger);
    }
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::qWait(50);  // the list laid out again for the font
    QStringList shown;
    for (int row = 0; row < f.ListModel->count(); ++row) shown << cell(f.ListView2, row, kQsoListFrec);
    QVERIFY(shown.contains("1296.20000"));
    // The width the list would give the column to show each of its cells whole.
    const int needed = static_cast<QAbstractItemView*>(f.ListView2)->sizeHintForColumn(kQsoListFrec);
    QVERIFY2(needed > 50, qPrintable(QString::number(needed)));  // more than the design width holds
    QVERIFY2(needed <= f.ListView2->columnWidth(kQsoListFrec),
             qPrintable(QStringLiteral("%1 > %2").arg(needed).arg(f.ListView2->columnWidth(kQsoListFrec))));
  }

  // The heading click reaches the list through its header; the edit dialog then
  // opens on the row now on top.
  void aHeadingClickSortsAndTheEditOpensTheRowShown() {
    Form6& f = shown();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    test::clickHeading(f.ListView2->header(), kQsoListEstacion);
    QCOMPARE(calls(f.ListView2), QStringList({"LU2DEF", "LU1ABC", "EA4XYZ"}));
    QCOMPARE(f.Label6->text(), QString("3"));
    QString call;
    whenShown<Form5>([&] {
      call = form5().Text2->text();
      form5().close();
    });
    test::doubleClickRow(f.ListView2, 0);
    QCOMPARE(call, QString("LU2DEF"));
  }

  // A heading click over a list longer than the window (and than the rows the list
  // keeps read): wherever the operator scrolls afterwards, the rows run in the new
  // order, and the row selected before the click does not turn into another QSO.
  void afterAHeadingClickEveryScrolledRowIsInTheNewOrder() {
    constexpr int kCalls = 300;
    QStringList ascending;
    for (int i = 0; i < kCalls; ++i) ascending << QStringLiteral("ZZ%1").arg(i, 3, 10, QLatin1Char('0'));
    QVERIFY(db::transaction([&] {
      // Entered out of call order.
      for (int i = 0; i < kCalls; ++i)
        if (store({ascending[(i * 7) % kCalls], "04/03/2024", "08:00:00", "CW", "20m", "14.020"}) < 0)
          return Status::failure("not stored");
      return Status::success();
    }));
    Form6& f = shown();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTreeView* list = f.ListView2;
    QScrollBar* bar = list->verticalScrollBar();
    const auto scrollTo = [&](int value) {
      bar->setValue(value);
      QApplication::processEvents();
    };
    // The rows the view shows, top to bottom, by position in the list.
    const auto shownRows = [&] {
      const int top = list->indexAt(QPoint(1, 1)).row();
      int bottom = list->indexAt(QPoint(1, list->viewport()->height() - 2)).row();
      if (bottom < 0) bottom = list->model()->rowCount() - 1;
      return std::make_pair(top, bottom);
    };
    // The end read once before the click; then a row chosen in the middle.
    scrollTo(bar->maximum());
    scrollTo(bar->maximum() / 2);
    const auto [firstShown, lastShown] = shownRows();
    QVERIFY(firstShown >= 0 && lastShown > firstShown);
    const int chosen = (firstShown + lastShown) / 2;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(chosen, 2)).center());
    const QString chosenCall = cell(list, chosen, 2);
    QCOMPARE(list->currentIndex().row(), chosen);

    const QStringList descending(ascending.rbegin(), ascending.rend());
    for (const QStringList& expected : {descending, ascending}) {
      test::clickHeading(list->header(), kQsoListEstacion);
      QTRY_VERIFY(!f.sorting());
      QCOMPARE(f.Label6->text(), QString::number(kCalls + 3));
      // Selection and current row, if any, still on the QSO chosen.
      for (const QModelIndex& i : list->selectionModel()->selectedRows()) QCOMPARE(cell(list, i.row(), 2), chosenCall);
      if (list->currentIndex().isValid()) QCOMPARE(cell(list, list->currentIndex().row(), 2), chosenCall);
      for (const int value : {bar->value(), bar->maximum(), bar->maximum() / 2, 0}) {
        scrollTo(value);
        const auto [top, bottom] = shownRows();
        QVERIFY(top >= 0 && bottom >= top);
        if (value == bar->maximum()) QCOMPARE(bottom, list->model()->rowCount() - 1);
        // The three calls of the log's own fixture sort before all of these.
        const int offset = expected.first() == ascending.first() ? 3 : 0;
        for (int row = top; row <= bottom; ++row) {
          const int at = row - offset;
          if (at < 0 || at >= kCalls) continue;
          QCOMPARE(cell(list, row, 2), expected[at]);
        }
      }
    }
  }

  // The file holds the rows as the list shows them when "Exportar" is pressed: in
  // the order of the last heading click, an edited row as edited, and a value
  // beyond Windows-1252 turning the whole file to UTF-8.
  void exportWritesTheListAsShownAfterSortAndEdit() {
    store({"JA1ABC", "03/03/2024", "12:00:00", "SSB", "15m", "21.200", QString::fromUtf8("Łódź 'ok'")});
    const QString path = folder->file("lista.adi");
    Form6& f = shown();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    test::clickHeading(f.ListView2->header(), kQsoListEstacion);
    test::clickHeading(f.ListView2->header(), kQsoListEstacion);  // flipped: calls A to Z
    QCOMPARE(calls(f.ListView2), QStringList({"EA4XYZ", "JA1ABC", "LU1ABC", "LU2DEF"}));
    whenShown<Form5>([] {
      form5().Text2->setText("EA4ZZZ");
      form5().Command1->click();
    });
    test::doubleClickRow(f.ListView2, 0);
    QCOMPARE(calls(f.ListView2), QStringList({"EA4ZZZ", "JA1ABC", "LU1ABC", "LU2DEF"}));

    // What the list's rows give, record for record.
    QByteArray expected;
    for (const QString& line : AdifHeader()) expected += line.toUtf8() + "\r\n";
    for (int i = 0; i < f.ListModel->count(); ++i)
      expected += AdifRecord(AdifQsoFromListRow(f.ListModel->rowAt(i)), false, AdifEncoding::Utf8).value.toUtf8() + "\r\n";
    expected += "<EOF>\r\n";

    dialogs->answers << MsgAnswer::No << MsgAnswer::No;  // no QSLMSG; do not open it
    dialogs->files << path;
    f.Command1->click();
    QCOMPARE(dialogs->lastText(), path + "\r\nGuardado!\r\n\r\nDesea verlo?");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written, expected);
    QVERIFY(written.contains("<CALL:6>EA4ZZZ"));
    QVERIFY(written.contains(QString::fromUtf8("<COMMENT:12>Łódź 'ok'").toUtf8()));
    QVERIFY(written.contains("<COMMENT:12>Saludos <73>"));
  }

  void answerLinesKeepTheirColour() {
    Form6& f = form6();
    AppendUploadAnswerLine(0x0000FF, "Error");
    AppendUploadAnswerLine(0x004000, "");
    QCOMPARE(f.RichTextBox1->toPlainText(), QString("Error\n\n"));
    QTextCursor c(f.RichTextBox1->document());
    c.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
  }
};

QTEST_MAIN(TstForm6)
#include "tst_form6.moc"
