#include "setup/form2_config.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QFileInfo>
#include <QHash>
#include <QTimer>

#include "mainwin/form1.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "setup/form2.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace vz {
namespace {

const QString kFileName = QStringLiteral("config.ini");
const QString kFirstLog = QStringLiteral("Log inicial");

// Selects the entry of a selector's text; a text that is not an entry leaves the
// selection as it is. Returns whether it was found.
bool selectText(QComboBox* box, const QString& text) {
  const int i = box->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (i < 0) return false;
  box->setCurrentIndex(i);
  return true;
}

// The main window shows the station data from the settings.
void copyCallsToMainWindow() {
  Form1& m = form1();
  m.Label2->setText(form2().Text1->text().toUpper());
  m.Label3->setText(form2().Text2->text().toUpper());
  m.Frame1->setTitle(state().CurrentLogName);
}

}  // namespace

void ApplyScreenSetting(long long value) { (void)value; }

void StartShutdownCountdown() { form1().Timer6->start(); }

ConfigValues settingsFromControls() {
  Form2& f = form2();
  ConfigValues v;
  v.Estacion = f.Text1->text();
  v.Operador = f.Text2->text();
  v.DiferUTC = f.Text3->text();
  v.LogenUso = state().CurrentLogName;
  v.GridLoca = f.Text4->text();
  v.UserRuk = f.user_ruk->text();
  v.PassRuk = f.pass_ruk->text();
  v.NoBorrar = form1().Check3->isChecked() ? 1 : 0;
  v.Pantalla = f.panta->isChecked() ? 1 : 0;
  v.HamqUser = f.Text5->text();
  v.HamqPass = f.Text6->text();
  v.RukqUser = f.Text8->text();
  v.RukqPass = f.Text7->text();
  v.EqslUser = f.Text9->text();
  v.EqslPass = f.Text10->text();
  v.ArcAudio = f.Label6->text();
  v.Puerto = f.Puerto->currentIndex() >= 0 ? f.Puerto->currentText() : f.keptPortName;
  v.PinPttRts = f.RTS->isChecked();
  v.TAntes = f.Combo1->currentIndex() >= 0 ? f.Combo1->currentText() : QString();
  v.TDespues = f.Combo2->currentIndex() >= 0 ? f.Combo2->currentText() : QString();
  return v;
}

void applySettingsToControls(const ConfigRead& r) {
  Form2& f = form2();
  if (r.Estacion) f.Text1->setText(*r.Estacion);
  if (r.Operador) f.Text2->setText(*r.Operador);
  if (r.DiferUTC) f.Text3->setText(*r.DiferUTC);
  if (r.LogenUso) state().CurrentLogName = *r.LogenUso;
  if (r.UserRuk) f.user_ruk->setText(*r.UserRuk);
  if (r.PassRuk) f.pass_ruk->setText(*r.PassRuk);
  if (r.NoBorrar) form1().Check3->setChecked(*r.NoBorrar != 0);
  if (r.HamqUser) f.Text5->setText(*r.HamqUser);
  if (r.RukqUser) f.Text8->setText(*r.RukqUser);
  if (r.EqslUser) f.Text9->setText(*r.EqslUser);
  if (r.anyLine) {
    f.Text6->setText(r.HamqPass);
    f.Text7->setText(r.RukqPass);
    f.Text10->setText(r.EqslPass);
  }
  if (r.ArcAudio) f.Label6->setText(*r.ArcAudio);
  if (r.Puerto && !selectText(f.Puerto, *r.Puerto)) f.keptPortName = *r.Puerto;
  if (r.PinPttRts) {
    f.RTS->setChecked(*r.PinPttRts);
    f.DTR->setChecked(!*r.PinPttRts);
  }
  if (r.TAntes) selectText(f.Combo1, *r.TAntes);
  if (r.TDespues) selectText(f.Combo2, *r.TDespues);
  copyCallsToMainWindow();
  f.Text4->setText(r.GridLoca);
  form1().Label8->setText(r.GridLoca);
  if (r.Pantalla) f.panta->setChecked(*r.Pantalla != 0);
}

Status SaveConfig() {
  if (state().CurrentLogName.isEmpty()) {
    state().CurrentLogName = kFirstLog;
    const Status s = LogPlaceholderRow(kFirstLog);
    if (!s) showError(s.error);
  }
  QStringList unstorable;
  const QStringList lines = formatConfigLines(settingsFromControls(), &unstorable);
  // Once per password typed: the control keeps it, and every later save would warn again.
  static QHash<QString, QString> warnedFor;
  const ConfigValues now = settingsFromControls();
  const QHash<QString, QString> typed = {{QStringLiteral("QRZ"), now.HamqPass},
                                         {QStringLiteral("Rukanet"), now.RukqPass},
                                         {QStringLiteral("eQSL"), now.EqslPass}};
  for (auto it = warnedFor.begin(); it != warnedFor.end();)
    it = unstorable.contains(it.key()) ? std::next(it) : warnedFor.erase(it);
  for (const QString& service : unstorable) {
    if (warnedFor.contains(service) && warnedFor.value(service) == typed.value(service)) continue;
    warnedFor.insert(service, typed.value(service));
    msgBox(QStringLiteral("La contraseña de %1 tiene caracteres que no se pueden guardar en %2. "
                          "Se guardó vacía: elija otra contraseña.")
               .arg(service, kFileName),
           MsgIcon::Exclamation);
  }
  QString error;
  Status result;
  // The file holds the passwords: only its owner reads it.
  if (!writeTextLines(programFile(kFileName), lines, &error, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    result = Status::failure(failureMessage(QStringLiteral("No se pudo guardar la configuración; se mantiene la anterior"),
                                            programFile(kFileName), error));
    showError(result.error);
    // The main window goes on showing what the file holds.
    return result;
  }
  form1().Label8->setText(form2().Text4->text());
  copyCallsToMainWindow();
  ApplyScreenSetting(form2().panta->isChecked() ? 1 : 0);
  return result;
}

Status LoadConfigQuietly() {
  Form2& f = form2();
  f.fillLists();
  f.keptPortName.clear();
  QStringList lines;
  const QString path = programFile(kFileName);
  // The program writes twenty short lines; a file this large is not its settings.
  constexpr qint64 kMaxConfigBytes = 1024 * 1024;
  const QString refused = QFileInfo(path).size() > kMaxConfigBytes ? readFailureReason(path, kMaxConfigBytes) : QString();
  // Nothing is read, so the settings in the controls stay as they were.
  if (!refused.isEmpty() || !readTextLines(path, &lines))
    return Status::failure(failureMessage(QStringLiteral("No se pudo leer la configuración"), path,
                                          refused.isEmpty() ? readFailureReason(path) : refused));
  const ConfigRead r = parseConfigLines(lines);
  ApplyScreenSetting(r.Pantalla.value_or(0));
  applySettingsToControls(r);
  return Status::success();
}

Status LoadConfig() {
  const Status loaded = LoadConfigQuietly();
  if (!loaded) showError(loaded.error);
  return loaded;
}

}  // namespace vz
