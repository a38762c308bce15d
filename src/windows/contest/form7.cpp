#include "contest/form7.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include "platform/cp1252box.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "store/programstate.h"

namespace vz {

namespace {

const QString kCaptionPrefix = QStringLiteral("Edición de Registro #");

ContestListReload& reloadSlot() {
  static ContestListReload r;
  return r;
}

void reloadContestList(int position) {
  if (reloadSlot()) reloadSlot()(position);
}

// The number in the leading digits of a text; 0 when it starts with none.
int leadingNumber(const QString& text) {
  int n = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') break;
    n = n * 10 + (c.unicode() - u'0');
    if (n > 100000000) break;  // far beyond any limit tested
  }
  return n;
}

bool isLetterOrDigit(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'); }
bool isDigitChar(QChar c) { return c >= u'0' && c <= u'9'; }

QLineEdit* box(int maxLength = 0) {
  auto* b = new QLineEdit;
  if (maxLength > 0) b->setMaxLength(maxLength);
  keepToOneLine(b);
  return b;
}

// Shows the editor modally over the contest window; Esc and the title bar unload it.
void showEditor() {
  form7().exec();
  if (FormInstance<Form7>::loaded() && form7().unloadRequested()) FormInstance<Form7>::unload();
}

}  // namespace

void setContestListReload(ContestListReload reload) { reloadSlot() = std::move(reload); }

Form7::Form7() {
  setWindowTitle(QStringLiteral("Form7"));
  setModal(true);

  Text1 = box();
  Text2 = box();
  Text4 = box(8);
  Text5 = box(4);
  Combo1 = new QComboBox;
  Combo2 = new QComboBox;
  Text6 = box(6);
  Text7 = box(6);
  Text3 = box(6);
  Text3->hide();
  Label3 = new QLabel(QStringLiteral("Label3"));
  Label10 = new QLabel(QStringLiteral("Label3"));
  Label11 = new QLabel(QStringLiteral("Label11"));
  Label11->hide();
  for (QLabel* l : {Label3, Label10}) l->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
  Command1 = new QPushButton(QStringLiteral("Guardar"));
  Command2 = new QPushButton(QStringLiteral("Eliminar"));
  Command1->setAutoDefault(false);
  Command2->setAutoDefault(false);

  auto* grid = new QGridLayout;
  const struct {
    const char* caption;
    QWidget* w;
  } rows[] = {{"Mi Señal Distintiva", Text1}, {"Corresponsal", Text2}, {"Fecha UTC", Text4},
              {"Hora UTC", Text5},            {"Banda", Combo1},       {"Modo", Combo2},
              {"Serie E", Text6},             {"Serie R", Text7}};
  int r = 0;
  for (const auto& row : rows) {
    grid->addWidget(new QLabel(QString::fromUtf8(row.caption)), r, 0);
    grid->addWidget(row.w, r, 1);
    ++r;
  }
  Text4->setPlaceholderText(QStringLiteral("AAAAMMDD"));
  Text5->setPlaceholderText(QStringLiteral("HHMM"));
  grid->addWidget(new QLabel(QStringLiteral("Concurso:")), r, 0);
  grid->addWidget(Label3, r++, 1);
  grid->addWidget(new QLabel(QStringLiteral("Tipo:")), r, 0);
  grid->addWidget(Label10, r++, 1);
  grid->addWidget(Text3, r, 0);
  grid->addWidget(Label11, r++, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  setTabOrder(Text1, Text2);
  setTabOrder(Text2, Text4);
  setTabOrder(Text4, Text5);
  setTabOrder(Text5, Combo1);
  setTabOrder(Combo1, Combo2);
  setTabOrder(Combo2, Text6);
  setTabOrder(Text6, Text7);
  setTabOrder(Text7, Command1);
  setTabOrder(Command1, Command2);

  for (QLineEdit* b : {Text1, Text2, Text3, Text4, Text5, Text6, Text7}) {
    b->installEventFilter(this);
    // Pasted or dropped text passes the box's key filter too.
    applyKeyRule(b, [this, b](QChar c) {
      const QChar upper = c.toUpper();
      return acceptsKey(b, upper) ? upper : QChar();
    });
  }
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(qApp, &QApplication::focusChanged, this, &Form7::onFocusChanged);
}

Form7::~Form7() {
  // The program-wide focus signal must not reach this window while its children are
  // destroyed: by then it is a window no more.
  disconnect(qApp, nullptr, this, nullptr);
}

void Form7::fillFrom(const ContestQso& q, int position, const QString& contestName, const QString& serialType) {
  // A value outside the lists (a row stored by hand) is added, so saving keeps it.
  auto fillList = [](QComboBox* list, const QStringList& items, const QString& value) {
    QSignalBlocker block(list);
    list->clear();
    list->addItems(items);
    if (!value.isEmpty() && list->findText(value) < 0) list->addItem(value);
    list->setCurrentIndex(list->findText(value));
  };
  fillList(Combo1, kContestBands, q.Banda);
  Label11->setText(position > 0 ? QString::number(position) : QString());
  Text5->setText(q.Hora);
  Text4->setText(q.Fecha);
  Text1->setText(q.MyCall);
  Text6->setText(q.RSE);
  Text2->setText(q.Estacion);
  Text7->setText(q.RSR);
  Text3->setText(q.Frecuencia);
  setWindowTitle(kCaptionPrefix + QString::number(q.id));
  fillList(Combo2, kContestModes, q.Modo);
  Label3->setText(contestName);
  Label10->setText(serialType);
}

qint64 Form7::recordId() const { return leadingNumber(windowTitle().remove(kCaptionPrefix)); }

// ---- Leave checks ----------------------------------------------------------------

QStringList Form7::frequencyProblems(const QString& text) {
  const int khz = leadingNumber(text);
  if (khz == 0) return {QStringLiteral("Ingrese la frecuencia en KHZ!")};
  if (khz < 1000 || khz > 150000) return {text + QStringLiteral(" KHz NO ES BANDA DE CONCURSO!")};
  return {};
}

QStringList Form7::dateProblems(const QString& text) {
  QStringList problems;
  if (text.size() != 8) problems << QStringLiteral("Error en la fecha, formato DDMMAAAA!");
  const int day = leadingNumber(text.mid(6, 2));
  if (day < 1 || day > 31) {
    problems << QStringLiteral("Error en la fecha, día ") + QString::number(day) + u'!';
  } else {
    const int month = leadingNumber(text.mid(4, 2));
    if (month < 1 || month > 12) problems << QStringLiteral("Error en la fecha, mes ") + QString::number(month) + u'!';
  }
  return problems;
}

QStringList Form7::timeProblems(const QString& text) {
  QStringList problems;
  if (text.size() != 4) problems << QStringLiteral("Error en la HORA, formato HHMM!");
  const int hours = leadingNumber(text.left(2));
  if (hours > 23) problems << QStringLiteral("Error en la HORA ") + QString::number(hours) + u'!';
  const int minutes = leadingNumber(text.right(2));
  if (minutes > 59) problems << QStringLiteral("Error en los MINUTOS ") + QString::number(minutes) + u'!';
  return problems;
}

void Form7::refuse(QLineEdit* b, const QStringList& messages) {
  if (messages.isEmpty()) return;
  for (const QString& m : messages) msgBox(m, MsgIcon::Exclamation);
  // Queued: the focus is still moving when a leave check runs.
  QTimer::singleShot(0, b, [this, b] {
    refocusing_ = true;
    b->setFocus(Qt::OtherFocusReason);
    refocusing_ = false;
  });
}

void Form7::Text3_LostFocus() { refuse(Text3, frequencyProblems(Text3->text())); }
void Form7::Text4_LostFocus() { refuse(Text4, dateProblems(Text4->text())); }
void Form7::Text5_LostFocus() { refuse(Text5, timeProblems(Text5->text())); }

void Form7::onFocusChanged(QWidget* old, QWidget* now) {
  // Only a move inside the editor is a leave: a message box taking the focus is not.
  if (refocusing_ || !old || !now || now->window() != this || old->window() != this) return;
  if (old == Text3)
    Text3_LostFocus();
  else if (old == Text4)
    Text4_LostFocus();
  else if (old == Text5)
    Text5_LostFocus();
}

// ---- Keys -----------------------------------------------------------------------

bool Form7::acceptsKey(const QLineEdit* b, QChar upper) const {
  if (upper == u'?') return true;
  if (b == Text1 || b == Text2) return isLetterOrDigit(upper) || upper == u'/';
  if (b == Text3 || b == Text4 || b == Text5) return isDigitChar(upper);
  if (b == Text6 || b == Text7)
    return Label10->text() == kSerialIncremental ? isDigitChar(upper) : isLetterOrDigit(upper);
  return true;
}

bool Form7::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  auto* key = static_cast<QKeyEvent*>(e);
  auto* b = qobject_cast<QLineEdit*>(watched);
  if (!b) return QDialog::eventFilter(watched, e);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;  // dropped
  const QString typed = key->text();
  if (typed.size() != 1 || !typed[0].isPrint() || (key->modifiers() & Qt::ControlModifier))
    return QDialog::eventFilter(watched, e);
  const QChar upper = typed[0].toUpper();
  if (!acceptsKey(b, upper)) return true;
  if (upper == typed[0]) return QDialog::eventFilter(watched, e);
  b->insert(QString(upper));
  return true;
}

void Form7::reject() {
  // Esc and the title bar: nothing is written and the editor is unloaded.
  unloadRequested_ = true;
  QDialog::reject();
}

// ---- Save and delete --------------------------------------------------------------

void Form7::Command1_Click() {
  const Status s = db::exec(
      QStringLiteral("UPDATE Tabla2 SET [Modo]=?, [Banda]=?, [MyCall]=?, [Estacion]=?, [Fecha]=?, [Hora]=?, "
                     "[RSE]=?, [RSR]=?, [Frecuencia]=?, [Ruk]=?, [Nombre_Sat]=? WHERE [Id]=?"),
      {db::textValue(Combo2->currentText()), db::textValue(Combo1->currentText()), db::textValue(Text1->text()),
       db::textValue(Text2->text()), db::textValue(Text4->text()), db::textValue(Text5->text()),
       db::textValue(Text6->text()), db::textValue(Text7->text()), db::textValue(Text3->text()),
       db::textValue(Label3->text()), db::textValue(Label10->text()), recordId()});
  if (!s) {
    // The typed values stay in the editor, to be saved again.
    showError(s.error);
    return;
  }
  reloadContestList(leadingNumber(Label11->text()));
  hide();
}

void Form7::Command2_Click() {
  if (askYesNo(QStringLiteral("Elimina el QSO con ") + Text2->text() + u'?')) {
    const Status s = db::exec(QStringLiteral("DELETE FROM Tabla2 WHERE ([id] = ?)"), {recordId()});
    if (!s) {
      showError(s.error);
      return;
    }
    reloadContestList(0);
  }
  hide();
}

// ---- Openers -----------------------------------------------------------------------

bool OpenContestRecordFromList(const ContestListRow* selected, int position, const QString& contestName,
                               const QString& serialType) {
  // Nothing opens without a row, and no activation would clear the flag then.
  if (!selected) return false;
  state().ContestFormBusy = true;
  ContestQso q;
  q.id = leadingNumber(selected->id);
  q.Banda = selected->Banda;
  q.Modo = selected->Modo;
  q.Fecha = selected->Fecha;
  q.Hora = selected->Hora;
  q.MyCall = selected->MyCall;
  q.RSE = selected->RSE;
  q.Estacion = selected->Estacion;
  q.RSR = selected->RSR;
  // The list does not show the frequency: the stored one is kept.
  QSqlQuery stored(db::connection());
  if (db::run(stored, QStringLiteral("SELECT Frecuencia FROM Tabla2 WHERE id=?"), {q.id}) && stored.next())
    q.Frecuencia = stored.value(0).toString();
  form7().fillFrom(q, position, contestName, serialType);
  showEditor();
  return true;
}

bool EditLastContestQso(const QString& contestName, const QString& serialType) {
  const auto qsos = ContestQsosByTime(contestName);
  if (!qsos.ok()) {
    showError(qsos.error());
    return false;
  }
  if (qsos.value.isEmpty()) return false;  // only the header row: nothing to edit
  state().ContestFormBusy = true;
  form7().fillFrom(qsos.value.last(), 0, contestName, serialType);
  showEditor();
  return true;
}

}  // namespace vz
