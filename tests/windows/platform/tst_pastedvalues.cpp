// What the operator pastes reaches the files and rows whole, and alone on its line:
// one table of tricky values pasted (clipboard + Ctrl+V) into the real boxes, saved
// with the window's own button, then read back from the file or row, and after a
// restart where the value lives in config.ini. Then the edit dialog's unchanged save,
// and config.ini as it is found at start-up (other line ends, damaged).
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <sys/stat.h>
#include <memory>

#include "../mainwin/entrystripfixture.h"
#include "contest/form9.h"
#include "mainwin/form1.h"
#include "mainwin/form5.h"
#include "platform/database.h"
#include "platform/qtdialogs.h"
#include "platform/textfile.h"
#include "setup/form11.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/logcommands.h"
#include "store/programstate.h"
#include "store/satellites.h"
#include "support/logfixture.h"
#include "support/roadtest.h"
#include "support/settingsenv.h"

using namespace vz;

namespace {

const QString kInjection = QStringLiteral("qrzuser\r\nLogenUso=HACK\r\nEstacion=EVIL1");
const QString kWide = QString::fromUtf8("Łódź Москва €5");
const QString kRemark100 = QString::fromUtf8("Ñ").repeated(10) + QString(89, u'r') + u'!';

// Replaces what the box holds by the clipboard's text, as Ctrl+V does.
void paste(QLineEdit* box, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

// Replaces what the box holds by the clipboard's text with Shift+Insert (the boxes
// whose keys are filtered drop Ctrl+V as a key).
void pasteShiftInsert(QLineEdit* box, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
}

// The settings window's stores: a valid config.ini, the dialog opened as the File
// menu opens it, the value pasted, "Guardar".
QString throughSettings(QLineEdit* Form2::*box, const QString& pasted) {
  test::SettingsTestEnv env;
  env.folder.writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
  test::addPlaceholder("Diario");
  LoadConfig();
  Form2& f = form2();
  f.show();
  const bool filtered = box == &Form2::Text1 || box == &Form2::Text3;
  if (filtered)
    pasteShiftInsert(f.*box, pasted);
  else
    paste(f.*box, pasted);
  QTest::mouseClick(f.Command1, Qt::LeftButton);  // "Guardar"
  form1().Timer7->stop();                           // no usage report from a test
  [&] {
    QVERIFY2(env.dialogs.messages.isEmpty(), qPrintable(env.dialogs.lastText()));
    QCOMPARE(env.folder.readLines("config.ini").size(), 20);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(env.folder.file("config.ini")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, 0600u);  // it holds the passwords
  }();
  // A restart: fresh controls and state, then the start-up read.
  FormInstance<Form2>::unload();
  state() = ProgramState();
  LoadConfig();
  [&] {
    QCOMPARE(state().CurrentLogName, QString("Diario"));
    if (box != &Form2::Text1) QCOMPARE(form2().Text1->text(), QString("LU1ABC"));
  }();
  return (form2().*box)->text();
}

// The remarks of the entry strip: pasted, Enter saves the QSO.
QString throughEntryStrip(const QString& pasted) {
  test::EntryStripFixture env;
  Form1& f = form1();
  f.Corresponsal->setText("EA8XYZ");
  paste(f.Obs, pasted);
  test::settle();
  test::pressEnter();
  const QList<QSqlRecord> rows = test::storedQsos();
  if (rows.isEmpty()) return QStringLiteral("<nada guardado: %1>").arg(env.dialogs.lastText());
  return rows.last().value("Obs").toString();
}

// A box of the edit dialog: a stored QSO opened, pasted, "Guardar"; the stored field.
QString throughEditDialogBox(QLineEdit* Form5::*box, QString LogQso::*field, const QString& pasted) {
  test::SettingsTestEnv env;
  state().CurrentLogName = "Mi Log";
  const qint64 id = test::addQso("Mi Log", "LU1AA", "05/06/2024", "14:05:00");
  db::exec("UPDATE Tabla1 SET MiGrid='GF05TJ'");
  LogQso row = FindQsoById(id).value.value_or(LogQso{});
  row.Hora = "14:05";  // as the main list hands it over
  Form5& f = form5();
  f.fillFrom(row, mainListEditModes(), mainListEditMhz());
  f.show();
  paste(f.*box, pasted);
  QTest::mouseClick(f.Command1, Qt::LeftButton);  // "Guardar"
  const QString stored = FindQsoById(id).value.value_or(LogQso{}).*field;
  FormInstance<Form5>::unload();
  return env.dialogs.messages.isEmpty() ? stored : env.dialogs.lastText();
}

QString throughEditDialog(const QString& pasted) { return throughEditDialogBox(&Form5::Text8, &LogQso::Obs, pasted); }

// The sub-tone of a satellite added in the satellites editor: one line of satelites.txt.
QString throughSatellitesEditor(const QString& pasted) {
  test::SettingsTestEnv env;
  WriteDefaultSatelliteFile();
  Form11& e = form11();
  e.show();
  e.Text1->setText("ZZ-99");
  e.Combo1->setCurrentText("2m");
  e.Combo2->setCurrentText("70cm");
  paste(e.Text4, pasted);
  QTest::mouseClick(e.Command1, Qt::LeftButton);  // "Agregar"
  FormInstance<Form11>::unload();
  const QStringList lines = env.folder.readLines("satelites.txt");
  if (lines.size() != DefaultSatelliteLines().size() + 1) return QStringLiteral("<%1 líneas>").arg(lines.size());
  return lines.last().section(u';', 4, 4);
}

// The name box of the Cabrillo header: datos.cbr is written before the file is asked for.
QString throughCabrilloHeader(const QString& pasted) {
  test::SettingsTestEnv env;
  QTimer::singleShot(0, [&] {
    Form9& f = form9();
    QTRY_VERIFY(f.isVisible());
    paste(f.Text2, pasted);
    QTest::mouseClick(f.Command1, Qt::LeftButton);  // "Cabrillo"; no file chosen
    f.hide();
  });
  ShowCabrilloHeader("Rally", "END-OF-LOG:", 0, "LU9ZZ");
  FormInstance<Form9>::unload();
  const QStringList lines = env.folder.readLines("datos.cbr");
  if (lines.size() != 5) return QStringLiteral("<%1 líneas>").arg(lines.size());
  return lines.first();
}

// "Nuevo Log": the name typed into the real input box, the log created with it.
QString throughNewLog(const QString& pasted) {
  test::SettingsTestEnv env;
  env.folder.writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
  LoadConfig();
  QString answer;
  QtDialogService real;
  const bool shown = test::whileModal(
      [&] { answer = real.inputBox(QStringLiteral("Ingrese el nombre del nuevo Log"), QString(), QString()); },
      [&](QWidget* modal) {
        QLineEdit* box = modal->findChild<QLineEdit*>();
        QVERIFY(box);
        paste(box, pasted);
        QTest::keyClick(box, Qt::Key_Return);
      });
  if (!shown) return QStringLiteral("<sin cuadro>");
  env.dialogs.inputs.enqueue(answer);
  SetFileMenuEnabled("1");  // as the start-up step leaves it
  form1().nuevo->trigger();
  [&] {
    QCOMPARE(env.folder.readLines("config.ini").size(), 20);
    const Result<QStringList> names = ListLogNames();
    QCOMPARE(names.value, QStringList{state().CurrentLogName});
  }();
  FormInstance<Form2>::unload();
  state() = ProgramState();
  LoadConfig();
  return state().CurrentLogName;
}

using Route = std::function<QString(const QString&)>;

Route routeNamed(const QString& name) {
  if (name == "QRZ user") return [](const QString& v) { return throughSettings(&Form2::Text5, v); };
  if (name == "eQSL user") return [](const QString& v) { return throughSettings(&Form2::Text9, v); };
  if (name == "entry strip remarks") return throughEntryStrip;
  if (name == "edit dialog remarks") return throughEditDialog;
  if (name == "station call") return [](const QString& v) { return throughSettings(&Form2::Text1, v); };
  if (name == "UTC offset") return [](const QString& v) { return throughSettings(&Form2::Text3, v); };
  if (name == "edit dialog call") return [](const QString& v) {
    return throughEditDialogBox(&Form5::Text2, &LogQso::Estacion, v);
  };
  if (name == "edit dialog grid") return [](const QString& v) {
    return throughEditDialogBox(&Form5::Text11, &LogQso::SuGrid, v);
  };
  if (name == "satellite sub-tone") return throughSatellitesEditor;
  if (name == "Cabrillo name") return throughCabrilloHeader;
  if (name == "new log name") return throughNewLog;
  return {};
}

}  // namespace

class TstPastedValues : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    FormInstance<Form1>::unload();
    state() = ProgramState();
  }

  // Boxes bound for Windows-1252 files also drop what the code page lacks; boxes
  // bound for rows keep every character. Breaks and tabs become one blank in all.
  void aPastedValueArrivesAsOneLine_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("stored");
    const QString oneLine = QStringLiteral("qrzuser LogenUso=HACK Estacion=EVIL1");
    for (const char* route : {"QRZ user", "eQSL user", "entry strip remarks", "edit dialog remarks"}) {
      const bool file = QByteArray(route).endsWith("user");
      QTest::addRow("%s, CR LF", route) << route << kInjection << oneLine;
      QTest::addRow("%s, LF", route) << route << QString::fromUtf8("línea uno\nlínea dos")
                                     << QString::fromUtf8("línea uno línea dos");
      QTest::addRow("%s, TAB", route) << route << QString("con\ttabulador") << QString("con tabulador");
      QTest::addRow("%s, beyond Windows-1252", route)
          << route << kWide << (file ? QString::fromUtf8("ód  €5") : kWide);
    }
    QTest::newRow("edit dialog remarks, 100 characters") << "edit dialog remarks" << kRemark100 << kRemark100;
    QTest::newRow("satellite sub-tone, CR LF") << "satellite sub-tone" << QString("67.0\r\n88.5")
                                               << QString("67.0 88.5");
    QTest::newRow("satellite sub-tone, TAB") << "satellite sub-tone" << QString("67.0\t") << QString("67.0 ");
    QTest::newRow("Cabrillo name, beyond Windows-1252") << "Cabrillo name" << QString::fromUtf8("Łukasz")
                                                        << QString("ukasz");
    QTest::newRow("Cabrillo name, CR LF") << "Cabrillo name" << QString("Ana\r\nEMAIL: x@example.org")
                                          << QString("Ana EMAIL: x@example.org");
    QTest::newRow("new log name, CR LF") << "new log name" << QString("Pegado\r\nEstacion=PEGADO1")
                                         << QString("Pegado Estacion=PEGADO1");
    // Boxes whose keys are filtered take pasted text through the same filter, and
    // what they keep is what the file gives back after a restart.
    QTest::newRow("station call, blanks and apostrophe") << "station call" << QString("EA4'X Y Z")
                                                         << QString("EA4XYZ");
    QTest::newRow("station call, lower case") << "station call" << QString("lu1abc/p") << QString("LU1ABC/P");
    QTest::newRow("UTC offset, letters after") << "UTC offset" << QString("-3abc") << QString("-3");
    QTest::newRow("UTC offset, CR LF") << "UTC offset" << QString("-\r\n5") << QString("-5");
    QTest::newRow("edit dialog call") << "edit dialog call" << QString("ea4'x y") << QString("EA4XY");
    QTest::newRow("edit dialog grid") << "edit dialog grid" << QString("gf05'tj") << QString("GF05TJ");
    QTest::newRow("edit dialog grid, a digit out of place") << "edit dialog grid" << QString("g1f05")
                                                            << QString("GF05");
    QTest::newRow("new log name, beyond Windows-1252") << "new log name" << QString::fromUtf8("Log Łódź")
                                                       << QString::fromUtf8("Log ód");
  }
  void aPastedValueArrivesAsOneLine() {
    QFETCH(QString, route);
    QFETCH(QString, pasted);
    QFETCH(QString, stored);
    const Route through = routeNamed(route);
    QVERIFY(through);
    QCOMPARE(through(pasted), stored);
  }

  // Opening a QSO and pressing "Guardar" without a change changes nothing: the
  // frequency as stored, a remark longer than the entry strip's, seconds of the time.
  void anUnchangedSaveChangesNothing_data() {
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("remarks");
    QTest::newRow("7") << "7" << "40m" << kRemark100;
    QTest::newRow("53.100") << "53.100" << "6m" << kWide;
    QTest::newRow("1296.100") << "1296.100" << "23cm" << QString("viejo\r\npegado");
  }
  void anUnchangedSaveChangesNothing() {
    QFETCH(QString, frequency);
    QFETCH(QString, band);
    QFETCH(QString, remarks);
    test::SettingsTestEnv env;
    state().CurrentLogName = "Mi Log";
    test::QsoDetails details;
    details.frequency = frequency;
    details.band = band;
    details.remarks = remarks;
    details.ruk = "2";
    const qint64 id = test::addQso("Mi Log", "LU1AA", "05/06/2024", "14:05:07", details);
    QVERIFY(db::exec("UPDATE Tabla1 SET MiGrid='GF05TJ'"));
    const LogQso before = FindQsoById(id).value.value_or(LogQso{});
    // As the main list hands it over: the time without its seconds.
    LogQso listed = before;
    listed.Hora = "14:05";
    Form5& f = form5();
    f.fillFrom(listed, mainListEditModes(), mainListEditMhz());
    f.show();
    QCOMPARE(f.Text8->text(), remarks.contains(u'\r') ? QString("viejo pegado") : remarks);
    f.Text9->setFocus();  // the kHz box left on the way, as a Tab walk does
    f.Text8->setFocus();
    QTest::mouseClick(f.Command1, Qt::LeftButton);  // "Guardar"
    QVERIFY2(env.dialogs.messages.isEmpty(), qPrintable(env.dialogs.lastText()));
    const LogQso after = FindQsoById(id).value.value_or(LogQso{});
    QCOMPARE(after.Frecuencia, frequency);
    QCOMPARE(after.Banda, before.Banda);
    QCOMPARE(after.Obs, remarks);
    QCOMPARE(after.Hora, QString("14:05:07"));
    QCOMPARE(after.Fecha, before.Fecha);
    QCOMPARE(after.Estacion, before.Estacion);
    QCOMPARE(after.Argento, before.Argento);

    // A box the operator changes is written as the box shows it.
    f.fillFrom(listed, mainListEditModes(), mainListEditMhz());
    f.show();
    paste(f.Text6, "57");
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(FindQsoById(id).value.value_or(LogQso{}).RSE, QString("57"));
    QCOMPARE(FindQsoById(id).value.value_or(LogQso{}).Obs, remarks);
    FormInstance<Form5>::unload();
  }

  // config.ini as found at start-up: saved with other line ends it reads as written;
  // present but unusable, it is never used silently.
  void configIniAtStartUp_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");  // empty: used as read
    QTest::addColumn<QString>("log");      // the log in use afterwards
    const QByteArray lines[] = {"Estacion=LU1ABC", "Operador=LU2XYZ", "LogenUso=Diario", "GridLoca=GF05TJ"};
    for (const char* end : {"\r\n", "\n", "\r"}) {
      QByteArray b;
      for (const QByteArray& l : lines) b += l + end;
      QTest::addRow("line ends %s", QByteArray(end).toPercentEncoding().constData()) << b << QString() << "Diario";
    }
    QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x00\x00\xff\xfe garbage\r\n\x00", 21)
                            << "falta la línea LogenUso=" << "Diario";
    QTest::newRow("cut inside LogenUso=") << QByteArray("Estacion=LU1ABC\r\nOperador=LU2XYZ\r\nLogenU")
                                          << "falta la línea LogenUso=" << "Diario";
    QTest::newRow("only the station") << QByteArray("Estacion=LU1ABC\r\n") << "falta la línea LogenUso="
                                      << "Diario";
    QTest::newRow("a log the database lacks") << QByteArray("Estacion=LU1ABC\r\nLogenUso=HACK\r\n")
                                              << "el log \"HACK\" no está en la base de datos" << "Diario";
    QTest::newRow("no station call") << QByteArray("Estacion=\r\nLogenUso=Diario\r\n")
                                     << "falta la señal distintiva" << "Diario";
  }
  void configIniAtStartUp() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QFETCH(QString, log);
    test::SettingsTestEnv env;
    test::addQso("Diario", "LW3DEF", "01/02/2024", "10:00:00");
    QVERIFY(replaceFileBytes(env.folder.file("config.ini"), bytes));
    Form1& f = form1();
    bool asked = false;
    QString stationShown;
    QTimer watch;  // ends with the test: the step may open no dialog at all
    watch.setSingleShot(true);
    connect(&watch, &QTimer::timeout, this, [&] {
      asked = QApplication::activeModalWidget() == &form2();
      stationShown = form2().Text1->text();
      form2().Text1->setText("LU1ABC");
      QTest::mouseClick(form2().Command1, Qt::LeftButton);  // "Guardar"
      form1().Timer7->stop();
    });
    watch.start(0);
    f.Timer2_Timer();  // the start-up step
    if (problem.isEmpty()) {
      QVERIFY(!asked);
      QVERIFY2(env.dialogs.messages.isEmpty(), qPrintable(env.dialogs.lastText()));
      QCOMPARE(form2().Text2->text(), QString("LU2XYZ"));
      QCOMPARE(form2().Text4->text(), QString("GF05TJ"));
    } else {
      QVERIFY(asked);
      QCOMPARE(env.dialogs.messages.size(), 1);
      QVERIFY2(env.dialogs.lastText().contains(problem), qPrintable(env.dialogs.lastText()));
      QVERIFY(env.dialogs.lastText().contains(env.folder.file("config.ini")));
      if (bytes.startsWith("Estacion=LU1ABC")) QCOMPARE(stationShown, QString("LU1ABC"));  // what could be read
      QVERIFY(!state().FirstRun);
      QCOMPARE(env.folder.readLines("config.ini").size(), 20);  // written anew
    }
    QCOMPARE(state().CurrentLogName, log);
    QCOMPARE(f.Frame1->title(), log);
    QCOMPARE(f.ListView2->topLevelItemCount(), 1);  // the operator's log, not an empty one
    QCOMPARE(env.endRequests, 0);
  }
};

QTEST_MAIN(TstPastedValues)
#include "tst_pastedvalues.moc"
