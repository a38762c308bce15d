// The main window's log commands (open, create, delete a log) and its openers of
// the QSO edit dialog and the worked-before list.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

#include "mainwin/form1.h"
#include "mainwin/form17.h"
#include "mainwin/form3.h"
#include "mainwin/form5.h"
#include "mainwin/qsolist.h"
#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/textutil.h"
#include "setup/form2_config.h"
#include "store/logcommands.h"
#include "store/logpage.h"
#include "store/programstate.h"

namespace vz {

namespace {

// A stored QSO in the form the main list shows it.
LogQso editRowFromStored(LogQso r) {
  r.Fecha = QsoListDateText(r.Fecha);
  r.Hora = QsoListTimeText(r.Hora);
  r.Ruk = trimBlanks(r.Ruk);
  r.Nombre_Sat = trimBlanks(r.Nombre_Sat);
  return r;
}

}  // namespace

// ---- Logs --------------------------------------------------------------------

namespace {

// Every log command ends so: the log becomes current, its first page is shown and
// config.ini names it at once, so the next start opens it.
void showAsCurrentLog(const QString& name) {
  Form1& f = form1();
  f.ListView2->clear();
  state().CurrentLogName = name;
  LoadLogPage(name, 1);
  SaveConfig();
}

}  // namespace

void Form1::alog_Click() {
  Form3& picker = form3();
  const Status listed = picker.fillWithLogs();
  if (!listed) {
    showError(listed.error);
    return;
  }
  picker.exec();
  // Closed from its title bar: dismissed, and created afresh next time.
  if (FormInstance<Form3>::loaded() && form3().unloadRequested()) FormInstance<Form3>::unload();
}

void Form3::List1_DblClick() {
  const QListWidgetItem* item = List1->currentItem();
  if (!item || !item->isSelected()) return;
  showAsCurrentLog(selectedLogName());
  hide();
}

void Form1::nuevo_Click() {
  QString name;
  for (;;) {
    const QString answer = dialogs().inputBox(QStringLiteral("Ingrese el nombre del nuevo Log"), QString(), QString());
    name = NewLogName(answer);
    // Nothing left once the apostrophes are gone counts as no answer.
    if (name.isEmpty()) return;
    if (!fitsCp1252(name)) {
      showWarning(QStringLiteral("El nombre tiene caracteres que no se pueden guardar en config.ini. "
                                 "Escriba otro nombre."));
      continue;
    }
    const Result<bool> exists = LogExists(name);
    if (!exists.ok()) {
      showError(exists.error());
      return;
    }
    if (!exists.value) break;
    showWarning(QStringLiteral("El log ") + name + QStringLiteral(" ya existe!"));
  }
  const Status created = CreateLog(name);
  if (!created) {
    showError(QStringLiteral("No se pudo crear el log ") + name + QStringLiteral("! ") + nothingStoredText() +
              QStringLiteral("\r\n\r\n") + created.error);
    return;
  }
  showAsCurrentLog(name);
}

void Form1::borralog_Click() {
  const QString question = QStringLiteral("Esta seguro de borrar ") + Label6->text() +
                           QStringLiteral("\r\n\r\nlos QSOs no podrán recuperarse!");
  if (!askYesNo(question)) return;
  const Status deleted = DeleteLog(state().CurrentLogName);
  if (!deleted) {
    showError(QStringLiteral("No se pudo borrar el log; sus QSOs siguen guardados.\r\n\r\n") + deleted.error);
    return;
  }
  Result<QString> next = LogAfterDelete();
  if (!next.ok()) {
    showError(next.error());
    next.value = kLogWhenNoneLeft;
  }
  showAsCurrentLog(next.value);
}

// ---- QSO edit dialog and worked-before list -------------------------------------

void Form1::ListView2_DblClick() {
  state().EditCallerForm = QStringLiteral("Form1");
  if (state().LogQsoCount == 0) return;
  const QTreeWidgetItem* item = ListView2->currentItem();
  if (!item || !item->isSelected()) return;
  OpenQsoEditor(QStringLiteral("Form1"), QsoFromListItem(*item), mainListEditModes(), mainListEditMhz());
}

void Form1::EditLastQso() {
  const QString log = state().CurrentLogName;
  Result<std::optional<LogQso>> found = Result<std::optional<LogQso>>::of(std::nullopt);
  if (state().LogQsoCount != 0) {
    const QString last = state().LastInsertedQsoId;
    if (!last.isEmpty()) found = FindLogQso(log, vbValInt(last));
    // The QSO added last may belong to another log (another was chosen since) or be
    // gone: the log's newest QSO then.
    if (found.ok() && !found.value) found = NewestLogQso(log);
  }
  if (!found.ok()) {
    showError(found.error());
    return;
  }
  if (!found.value) {
    showWarning(QStringLiteral("No hay QSOs para Editar!"));
    return;
  }
  OpenQsoEditor(QStringLiteral("Form1"), editRowFromStored(*found.value), mainListEditModes(), mainListEditMhz());
}

void Form1::Command7_Click() { ShowWorkedBefore(Corresponsal->text()); }

}  // namespace vz
