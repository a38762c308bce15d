// The main window's life: its load (the start-up sequence), the start-up step, the
// clock and the other timers, the exit with its countdown and usage reports, and the
// small launchers of the menus.
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>

#include "app/startup.h"
#include "contest/form4.h"
#include "exchange/form12.h"
#include "mainwin/entryclock.h"
#include "mainwin/entryrules.h"
#include "mainwin/form1.h"
#include "mainwin/form10.h"
#include "mainwin/form18.h"
#include "mainwin/usagereport.h"
#include "platform/appexit.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/launcher.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "platform/webget.h"
#include "setup/form11.h"
#include "setup/form16.h"
#include "setup/form2.h"
#include "store/callsign.h"
#include "store/gridbackfill.h"
#include "setup/form2_config.h"
#include "store/masterlist.h"
#include "store/memoryfiles.h"
#include "store/programstate.h"
#include "store/satellites.h"
#include "store/validation.h"

namespace vz {

namespace {

const QStringList kModes{QStringLiteral("SSB"), QStringLiteral("FM"),   QStringLiteral("CW"),
                         QStringLiteral("DVoice"), QStringLiteral("DV IP"), QStringLiteral("Echo"),
                         QStringLiteral("Echo IP")};

// The whole MHz the entry strip offers. 1267 is there for the 23 cm satellite
// uplinks the satellites editor accepts, so their QSOs can be logged.
const QStringList kMhzValues{
    QStringLiteral("1"),   QStringLiteral("3"),   QStringLiteral("5"),   QStringLiteral("7"),   QStringLiteral("10"),
    QStringLiteral("14"),  QStringLiteral("18"),  QStringLiteral("21"),  QStringLiteral("24"),  QStringLiteral("28"),
    QStringLiteral("29"),  QStringLiteral("50"),  QStringLiteral("51"),  QStringLiteral("52"),  QStringLiteral("53"),
    QStringLiteral("54"),  QStringLiteral("144"), QStringLiteral("145"), QStringLiteral("146"), QStringLiteral("147"),
    QStringLiteral("430"), QStringLiteral("431"), QStringLiteral("432"), QStringLiteral("433"), QStringLiteral("434"),
    QStringLiteral("435"), QStringLiteral("436"), QStringLiteral("437"), QStringLiteral("438"), QStringLiteral("439"),
    QStringLiteral("1267")};

const QStringList kBands{QStringLiteral("160m"), QStringLiteral("80m"), QStringLiteral("60m"), QStringLiteral("40m"),
                         QStringLiteral("30m"),  QStringLiteral("20m"), QStringLiteral("17m"), QStringLiteral("15m"),
                         QStringLiteral("12m"),  QStringLiteral("10m"), QStringLiteral("6m"),  QStringLiteral("2m"),
                         QStringLiteral("70cm")};

// Fills a selector without running its reaction; the caller chooses afterwards.
void refill(QComboBox* combo, const QStringList& items) {
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItems(items);
  combo->setCurrentIndex(-1);
}

// Chooses an entry the selector offers, running its reaction; a value it does not
// offer leaves its choice as it was.
void chooseOffered(QComboBox* combo, const QString& text) {
  const int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) combo->setCurrentIndex(i);
}

// How long the "off" usage report may take once the program has left the screen.
constexpr int kOffReportGraceMs = 3000;

// debug.txt: how far the last start got, one number line per checkpoint reached.
class StartupTrace {
 public:
  StartupTrace() : path_(programFile(QStringLiteral("debug.txt"))) {
    QString error;
    ok_ = writeTextLines(path_, {}, &error);
    if (!ok_) error_ = QStringLiteral("No se pudo escribir debug.txt: ") + error;
  }
  void checkpoint(int n) {
    if (ok_) ok_ = appendTextLine(path_, numberLine(n));
  }
  QString error() const { return error_; }

 private:
  QString path_;
  bool ok_ = false;
  QString error_;
};

}  // namespace

// ---- Start-up ----------------------------------------------------------------------

void tellRefusedStartupFiles();

void Form1::Form_Load() {
  ProgramState& st = state();

  Layout = CaptureLayout(this);
  FitFormToScreen(this, int(std::lround(height() * double(kTwipsPerPixel))),
                  int(std::lround(width() * double(kTwipsPerPixel))), int(std::lround(x() * double(kTwipsPerPixel))),
                  int(std::lround(y() * double(kTwipsPerPixel))), true);

  StartupTrace trace;
  if (!trace.error().isEmpty()) noteStartupWriteFailure(trace.error());
  trace.checkpoint(1);

  st.StartupInProgress = true;
  st.ProgramVersion = QStringLiteral("2.1.21");
  st.FirstRun = false;
  // The File menu and its shortcuts stay off until the start-up step has run.
  archivo->menuAction()->setEnabled(false);
  for (QAction* a : fileMenuActions()) a->setEnabled(false);
  setWindowTitle(QStringLiteral("Vantorel Zezeror V") + st.ProgramVersion);

  refill(Combo1, kModes);
  chooseOffered(Combo1, QStringLiteral("SSB"));
  Label7->setText(QStringLiteral("80m"));
  refill(mhz, kMhzValues);
  chooseOffered(mhz, QStringLiteral("3"));
  trace.checkpoint(2);

  refill(Combo2, kBands);
  chooseOffered(Combo2, QStringLiteral("80m"));
  SetupQsoListColumns(ListView2);
  Label11->setText(QStringLiteral("LU"));

  restoreEntryStrip();
  trace.checkpoint(3);

  // The remembered entry state of the last exit, each value only when its file is
  // there; each one runs its control's reaction as the operator's choice would.
  const SavedEntryState saved = ReadEntryMemoryFiles();
  if (saved.mode) chooseOffered(Combo1, *saved.mode);
  if (saved.mhz) chooseOffered(mhz, *saved.mhz);
  if (saved.khz) Text1->setText(FilterEntryText(EntryBox::Text1, *saved.khz));
  if (saved.satellite && (*saved.satellite == 0 || *saved.satellite == 1)) Check2->setChecked(*saved.satellite == 1);

  if (LoadMasterList()) {
    // The first touch of the contest window creates it, hidden; its clock runs from now on.
    form4().Frame2->setTitle(MasterCheckCaption(st.MasterCallCount));
  }
  trace.checkpoint(4);

  prefixTable().clear();
  const QString prefixes = programFile(QStringLiteral("dxcc.txt"));
  if (QFile::exists(prefixes)) LoadPrefixTable(prefixes);

  st.StartupInProgress = false;
  // The date and time boxes are not left empty until the clock's first tick: a QSO
  // entered at once would be refused for its date.
  showEntryClock();

  // The satellites editor refills the selector after each change it makes.
  Form11::setSatelliteFileChanged([] {
    if (FormInstance<Form1>::loaded()) form1().fillSatelliteSelector();
  });

  if (!startupWriteFailures_.isEmpty()) QTimer::singleShot(0, this, &Form1::tellStartupWriteFailures);
  tellRefusedStartupFiles();
}

// A list that could not be read leaves its table empty; the operator is told which
// and why, once the window is up.
void tellRefusedStartupFiles() {
  QStringList refused;
  const std::pair<QString, qint64> files[] = {{QStringLiteral("master.txt"), kMaxTextFileBytes},
                                              {QStringLiteral("dxcc.txt"), kMaxTextFileBytes},
                                              {QStringLiteral("satelites.txt"), kMaxSatelliteFileBytes}};
  for (const auto& [name, cap] : files) {
    const QString path = programFile(name);
    if (!QFileInfo::exists(path)) continue;
    if (const QString why = readFailureReason(path, cap); !why.isEmpty())
      refused << failureMessage(QStringLiteral("No se pudo leer ") + name, path, why);
  }
  if (refused.isEmpty()) return;
  QTimer::singleShot(0, qApp, [refused] { showWarning(refused.join(QStringLiteral("\r\n\r\n"))); });
}

// mem.ini, the satellites and the remembered satellite.
void Form1::restoreEntryStrip() {
  if (const std::optional<MemIniValues> mem = ReadMemIni()) {
    chooseOffered(mhz, mem->mhz);
    // A damaged file gives the boxes only what their own rules let in: the kHz box
    // what typing could put there, the band label a band a QSO can be stored with
    // (or none, as a short file gives), else the band of the frequency.
    Text1->setText(FilterEntryText(EntryBox::Text1, mem->khz));
    if (mem->band.isEmpty() || bandLabels().contains(mem->band))
      Label7->setText(mem->band);
    else
      SetEntryBandFromFrequency(mhz->currentText(), Text1->text());
    Check1->setChecked(mem->manualTime);
    if (mem->manualTime) {
      const EntryDateTime now = LocalEntryDateTime(clock().now());
      Fecha->setText(now.date);
      Hora->setText(now.time);
    }
  } else {
    Text1->setText(QStringLiteral("650"));
  }

  // An empty list is what a write cut short before this program wrote atomically
  // could leave: it gets the built-in list as a missing one does.
  if (QFileInfo(SatelliteFilePath()).size() == 0) {
    const Status written = WriteDefaultSatelliteFile();
    if (!written) noteStartupWriteFailure(written.error);
  }
  fillSatelliteSelector();
  const QString remembered = LoadSatelliteMemory();
  if (!remembered.isEmpty()) chooseOffered(Combo3, remembered);

  sPorcentaje->resize(0, sPorcentaje->height());
}

void Form1::noteStartupWriteFailure(const QString& error) { startupWriteFailures_ << error; }

void Form1::tellStartupWriteFailures() {
  // The start-up step waits until the message has been read, so the settings dialog
  // of a first run does not cover it.
  const bool stepPending = Timer2->isActive();
  Timer2->stop();
  msgBox(QStringLiteral("No se puede escribir en la carpeta del programa:\r\n") + programFolder() +
             QStringLiteral("\r\n\r\n") + startupWriteFailures_.join(QStringLiteral("\r\n")),
         MsgIcon::Exclamation);
  startupWriteFailures_.clear();
  if (stepPending) Timer2->start();
}

// The start-up step, 900 ms after the window was created: the settings on a first
// run, else the current log.
void Form1::Timer2_Timer() {
  Timer2->stop();  // runs once
  ProgramState& st = state();
  // An empty config.ini holds no settings: running on it would store blank station
  // data at the next close, so it counts as missing and the settings are asked for.
  if (QFileInfo(programFile(QStringLiteral("config.ini"))).size() == 0) {
    st.FirstRun = true;
    // "Guardar" writes config.ini and creates the first log; "Cancelar" ends the program.
    form2().exec();
    SetFileMenuEnabled(QStringLiteral("1"));
    return;
  }
  const Status config = LoadConfigQuietly();
  // The settings' UTC offset applies from now on, not from the next tick.
  showEntryClock();
  // A file that cannot be read is told once, with what follows from it.
  AskSettingsForUnusableConfig(config);
  SetFileMenuEnabled(QStringLiteral("0"));
  // A file locked at start-up may be free by now; if not, the wait shows the list later.
  if (db::isOpen() || db::reopen()) {
    ListView2->clear();
    LoadLogPage(st.CurrentLogName, 1);
    ResumeGridBackFills();  // what the last run left unfinished
  }
  SetFileMenuEnabled(QStringLiteral("1"));
}

// ---- Clock and the small timers ------------------------------------------------------

// Every second: the entry strip's date and time in UTC, unless the operator keeps
// them by hand.
void Form1::Timer1_Timer() {
  state().MainFormReady = true;
  const bool manual = Check1->isChecked();
  Fecha->setEnabled(manual);
  Hora->setEnabled(manual);
  showEntryClock();
}

void Form1::showEntryClock() {
  if (Check1->isChecked()) return;  // the boxes are the operator's
  const EntryDateTime utc = UtcEntryDateTime(clock().now(), currentUtcOffsetText());
  Fecha->setText(utc.date);
  Hora->setText(utc.time);
}

// One-second wait for code that waits on WaitTickDone.
void Form1::Timer8_Timer() {
  Timer8->stop();
  state().WaitTickDone = true;
}

// The satellite picture's scroll; nothing switches it on.
void Form1::Timer9_Timer() {
  const int left = int(std::lround(Image2->x() * double(kTwipsPerPixel)));
  int moved = left <= -1000 ? 4080 : left;
  moved -= 30;
  Image2->move(int(std::lround(moved / double(kTwipsPerPixel))), Image2->y());
}

// Pause tick of the upload-and-check run; that run switches it off.
void Form1::Timer10_Timer() { state().PauseTickDone = true; }

// Nothing switches this timer on.
void Form1::Timer4_Timer() { Timer4->stop(); }

// ---- Usage reports and the exit ------------------------------------------------------

void Form1::Timer7_Timer() {
  Timer7->stop();
  Command9_Click();
}

void Form1::Command9_Click() { Timer5->start(); }

void Form1::Timer5_Timer() {
  Timer5->stop();
  if (sendUsageReport(QStringLiteral("on")))
    setWindowTitle(QStringLiteral("Vantorel Zezeror V") + state().ProgramVersion + u'*');
}

bool Form1::sendUsageReport(const QString& command) {
  const QString station = form2().Text1->text();
  if (station.isEmpty()) return false;
  if (!WebBrowser1) WebBrowser1 = new WebGet(this);
  // The answer is never read; a dead network only lets the request time out.
  WebBrowser1->setTimeout(command == u"off" ? kOffReportGraceMs : 30000);
  WebBrowser1->get(UsageReportUrl(station, state().ProgramVersion, command));
  return true;
}

// Hidden, never clicked: the web site's home page, then the exit countdown.
void Form1::Command10_Click() {
  if (!WebBrowser1) WebBrowser1 = new WebGet(this);
  WebBrowser1->get(serviceBase(Service::WebSite));
  Timer6->start();
}

void Form1::Timer6_Timer() {
  ProgramState& st = state();
  ++st.ExitCountdownTicks;
  Form18& exitWindow = form18();
  exitWindow.Label1->setText(ExitCountdownCaption(st.ExitCountdownTicks));
  exitWindow.ProgressBar1->setValue(std::min(st.ExitCountdownTicks, exitWindow.ProgressBar1->maximum()));
  if (st.ExitCountdownTicks >= 25) {
    Timer6->stop();
    sendUsageReport(QStringLiteral("off"));
    st.ExitCountdownDone = true;
    // After "Sí" nothing holds the end up: this tick may run inside the wait of a
    // modal window opened during the countdown, so the end is queued in whatever
    // wait is running now rather than left to the confirmation's own wait.
    if (exitConfirmed_) QTimer::singleShot(0, this, &Form1::finishExit);
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  int cancel = 0;
  Form_QueryUnload(cancel, 0);
  // The exit ends the program itself; a close that is still here stays open.
  event->ignore();
}

void Form1::Form_QueryUnload(int& Cancel, int) {
  Cancel = 1;
  if (!askYesNo(QStringLiteral("Sale de Van Torel Zezeror?"))) return;
  exitAfterConfirmation(true);
}

void Form1::salir_Click() {
  if (!askYesNo(QStringLiteral("Sale de Van Torel Zezeror?"))) return;
  exitAfterConfirmation(false);
}

void Form1::exitAfterConfirmation(bool writeConfig) {
  if (writeConfig) SaveConfig();
  Form18& exitWindow = form18();
  exitWindow.centreOn(this);
  exitWindow.show();
  exitConfirmed_ = true;
  StartShutdownCountdown();
  // The windows stay usable meanwhile; a second close waits for the same countdown.
  while (!state().ExitCountdownDone) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  finishExit();
}

// The end after the countdown: every other window but the exit window goes (a modal
// one's wait ends with it), the entry strip is saved and the program ends.
void Form1::finishExit() {
  if (exitEnded_) return;
  exitEnded_ = true;
  QWidget* exitWindow = &form18();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w != exitWindow && w->isVisible()) w->hide();
  EntryStripValues v;
  v.mode = Combo1->currentText();
  v.mhz = mhz->currentText();
  v.khz = Text1->text();
  v.satellite = Check2->isChecked();
  SaveEntryMemoryFiles(v);  // a file that cannot be written does not hold up the end
  letTheOffReportLeave();
  endProgram();
}

// The "off" report was started by the countdown's last tick. Ending the process at
// once would drop it before it leaves, and waiting in sight would hold the exit up:
// the windows go now, and the request gets a short while of its own.
void Form1::letTheOffReportLeave() {
  if (!WebBrowser1 || !WebBrowser1->isLoading()) return;
  for (QTimer* t : findChildren<QTimer*>()) t->stop();
  for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
  db::close();
  QEventLoop wait;
  connect(WebBrowser1, &WebGet::finished, &wait, &QEventLoop::quit);
  QTimer::singleShot(kOffReportGraceMs, &wait, &QEventLoop::quit);
  wait.exec();
}

// ---- Launchers -----------------------------------------------------------------------

void Form1::acerca_Click() {
  form10().exec();
  // Closed, it is unloaded: the next showing fills it afresh.
  FormInstance<Form10>::unload();
}

void Form1::Ayuda_Click() { launcher().openDocument(programFile(QStringLiteral("Vantorel Zezeror 2.pdf"))); }

void Form1::Image1_DblClick() { launcher().openUrl(serviceBase(Service::WebSite)); }

void Form1::iadif_Click() {
  Form12& f = form12();
  f.Command1->setEnabled(true);
  f.Command3->setEnabled(false);
  for (QLabel* l : {f.Label2, f.Label4, f.Label5, f.Label6, f.Label7, f.Label9, f.Label10}) l->setText(QString());
  f.List2->clear();
  f.exec();
}

void Form1::ppeerr_Click() { form16().exec(); }

}  // namespace vz
