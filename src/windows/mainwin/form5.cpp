#include "mainwin/form5.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "mainwin/entryrules.h"
#include "mainwin/form1.h"
#include "online/callbook.h"
#include "mainwin/qslcard.h"
#include "platform/cp1252box.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/webget.h"
#include "setup/form2.h"
#include "platform/textutil.h"
#include "store/callsign.h"
#include "store/logcommands.h"
#include "store/programstate.h"
#include "store/validation.h"

namespace vz {

namespace {

const QString kCaptionPrefix = QStringLiteral("Edición de QSO #");

QHash<QString, EditCallerRefresh>& callerRefreshes() {
  static QHash<QString, EditCallerRefresh> refreshes;
  return refreshes;
}

// What a box's key filter keeps of a typed character, already upper-cased.
enum class KeyFilter { None, Call, Grid, Date, Time };

bool isAsciiLetter(QChar c) { return c >= u'A' && c <= u'Z'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool keeps(KeyFilter f, QChar c) {
  switch (f) {
    case KeyFilter::Call:
      return isAsciiLetter(c) || isDigit(c) || c == u'/' || c == u'?';
    case KeyFilter::Grid:
      return isAsciiLetter(c) || isDigit(c) || c == u'?';
    case KeyFilter::Date:
      return isDigit(c) || c == u'/' || c == u'?';
    case KeyFilter::Time:
      return isDigit(c) || c == u':' || c == u'?';
    case KeyFilter::None:
      return true;
  }
  return true;
}

// A small picture for the buttons that have no caption.
QIcon pictureIcon(const QString& text, const QColor& background) {
  QPixmap pm(40, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(background);
  p.setPen(background.darker(150));
  p.drawRoundedRect(QRectF(0.5, 0.5, 39, 23), 4, 4);
  QFont f = p.font();
  f.setBold(true);
  f.setPixelSize(11);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(pm.rect(), Qt::AlignCenter, text);
  return QIcon(pm);
}

// The box's own length, kept while a longer stored value is shown.
constexpr const char* kDesignLength = "designMaxLength";

QLineEdit* box(int maxLength = 32767) {
  auto* e = new QLineEdit;
  e->setMaxLength(maxLength);
  e->setProperty(kDesignLength, maxLength);
  keepToOneLine(e);
  return e;
}

}  // namespace

const QStringList& mainListEditModes() {
  static const QStringList modes = {QStringLiteral("SSB"),     QStringLiteral("CW"),   QStringLiteral("FM"),
                                    QStringLiteral("DVoice"),  QStringLiteral("DV IP"), QStringLiteral("Echo"),
                                    QStringLiteral("Echo IP")};
  return modes;
}

const QStringList& mainListEditMhz() {
  static const QStringList list = [] {
    QStringList l;
    for (int m : {1, 3, 5, 7, 10, 14, 18, 21, 24, 28, 29, 50, 51, 52, 53, 54, 144, 145, 146, 147})
      l << QString::number(m);
    for (int m = 430; m <= 439; ++m) l << QString::number(m);
    return l;
  }();
  return list;
}

void setEditCallerRefresh(const QString& callerForm, EditCallerRefresh refresh) {
  if (refresh)
    callerRefreshes().insert(callerForm, std::move(refresh));
  else
    callerRefreshes().remove(callerForm);
}

void OpenQsoEditor(const QString& callerForm, const LogQso& row, const QStringList& modes,
                   const QStringList& mhzList) {
  state().EditCallerForm = callerForm;
  state().EditFormLoading = true;
  Form5& f = form5();
  f.fillFrom(row, modes, mhzList);
  f.exec();
  // Esc and the title bar unload the dialog: its controls start from their design
  // values at the next use.
  if (FormInstance<Form5>::loaded() && form5().unloadRequested()) FormInstance<Form5>::unload();
}

Form5::Form5() {
  setWindowTitle(QStringLiteral("Form5"));
  setModal(true);

  Text1 = box();
  Text10 = box(6);
  Text3 = box();
  Command4 = new QPushButton;
  Command4->setIcon(pictureIcon(QStringLiteral("QSL"), QColor(0, 120, 60)));
  Frame1 = new QGroupBox(QStringLiteral("Rukanet"));
  Label15 = new QLabel(QStringLiteral("Confirmado:"));
  ConfARuk = new QLabel(QStringLiteral("NO"));
  Label14 = new QLabel(QStringLiteral("Subido:"));
  subidoARuk = new QLabel(QStringLiteral("NO"));
  Label14->setVisible(false);
  subidoARuk->setVisible(false);

  Text2 = box();
  Text4 = box(10);
  Text5 = box(5);
  Command3 = new QPushButton;
  Command3->setIcon(pictureIcon(QStringLiteral("Ruk"), QColor(20, 90, 170)));
  Command13 = new QPushButton;
  Command13->setIcon(pictureIcon(QStringLiteral("QRZ"), QColor(170, 40, 30)));

  Label11 = new QLabel(QStringLiteral("Banda"));
  mhz = new QComboBox;
  // Up to four kHz digits: a QSO stored at "435.1234" is saved back unchanged.
  Text9 = box(4);
  Combo2 = new QComboBox;
  Check1 = new QCheckBox;
  Text6 = box(3);
  Text7 = box(3);
  Text11 = box(6);
  Label5_1 = new QLabel(QStringLiteral("Satélite"));
  Text12 = box();

  Text8 = box(100);  // the remark the store and the import keep
  Command1 = new QPushButton(QStringLiteral("Guardar"));
  Command2 = new QPushButton(QStringLiteral("Eliminar"));

  // Controls are known by their names, as the other windows and the tests address them.
  const std::pair<QWidget*, const char*> names[] = {
      {Text1, "Text1"},       {Text10, "Text10"},   {Text3, "Text3"},         {Command4, "Command4"},
      {Frame1, "Frame1"},     {Label15, "Label15"}, {ConfARuk, "ConfARuk"},   {Label14, "Label14"},
      {subidoARuk, "subidoARuk"}, {Text2, "Text2"}, {Text4, "Text4"},         {Text5, "Text5"},
      {Command3, "Command3"}, {Command13, "Command13"}, {Label11, "Label11"}, {mhz, "mhz"},
      {Text9, "Text9"},       {Combo2, "Combo2"},   {Check1, "Check1"},       {Text6, "Text6"},
      {Text7, "Text7"},       {Text11, "Text11"},   {Label5_1, "Label5_1"},   {Text12, "Text12"},
      {Text8, "Text8"},       {Command1, "Command1"}, {Command2, "Command2"}};
  for (const auto& [w, name] : names) w->setObjectName(QLatin1String(name));

  for (QPushButton* b : {Command1, Command2, Command3, Command4, Command13}) {
    b->setAutoDefault(false);
    // A click does not take the focus: the leave checks run when the focus moves
    // between boxes, and "Guardar" repeats them itself, so one refusal shows once.
    b->setFocusPolicy(Qt::TabFocus);
  }
  for (QPushButton* b : {Command3, Command4, Command13}) b->setIconSize(QSize(40, 24));

  // Boxes as wide as what they hold.
  const QFontMetrics fm(font());
  auto fit = [&fm](QWidget* w, int chars) { w->setFixedWidth(fm.horizontalAdvance(QLatin1Char('W')) * chars + 12); };
  fit(Text1, 10);
  fit(Text3, 10);
  fit(Text2, 10);
  fit(Text10, 6);
  fit(Text11, 6);
  fit(Text4, 8);
  fit(Text5, 4);
  fit(Text9, 4);
  fit(Text6, 3);
  fit(Text7, 3);
  fit(Text12, 8);
  fit(mhz, 4);
  fit(Combo2, 6);
  fit(Label11, 4);

  auto heading = [](const QString& text) {
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return l;
  };

  // Four rows, each a set of headed boxes.
  auto* row1 = new QGridLayout;
  row1->addWidget(heading(QStringLiteral("Mi Señal Distintiva")), 0, 0);
  row1->addWidget(Text1, 1, 0);
  row1->addWidget(heading(QStringLiteral("Mi Grilla")), 0, 1);
  row1->addWidget(Text10, 1, 1);
  row1->addWidget(heading(QStringLiteral("Operador")), 0, 2);
  row1->addWidget(Text3, 1, 2);
  row1->addWidget(Command4, 1, 3);
  auto* frameLayout = new QGridLayout(Frame1);
  frameLayout->addWidget(Label14, 0, 0);
  frameLayout->addWidget(subidoARuk, 0, 1);
  frameLayout->addWidget(Label15, 1, 0);
  frameLayout->addWidget(ConfARuk, 1, 1);
  row1->addWidget(Frame1, 0, 4, 2, 1);
  row1->setColumnStretch(5, 1);

  auto* row2 = new QGridLayout;
  row2->addWidget(heading(QStringLiteral("Corresponsal")), 0, 0);
  row2->addWidget(Text2, 1, 0);
  row2->addWidget(heading(QStringLiteral("Fecha UTC")), 0, 1);
  row2->addWidget(Text4, 1, 1);
  row2->addWidget(heading(QStringLiteral("Hora UTC")), 0, 2);
  row2->addWidget(Text5, 1, 2);
  row2->addWidget(Command3, 1, 3);
  row2->addWidget(Command13, 1, 4);
  row2->setColumnStretch(5, 1);

  auto* row3 = new QGridLayout;
  row3->addWidget(heading(QStringLiteral("Banda")), 0, 0);
  row3->addWidget(Label11, 1, 0);
  row3->addWidget(heading(QStringLiteral("MHz")), 0, 1);
  row3->addWidget(mhz, 1, 1);
  row3->addWidget(heading(QStringLiteral("KHz")), 0, 2);
  row3->addWidget(Text9, 1, 2);
  auto* modeHeading = new QHBoxLayout;
  modeHeading->addWidget(heading(QStringLiteral("Modo")));
  modeHeading->addStretch();
  modeHeading->addWidget(Check1);
  row3->addLayout(modeHeading, 0, 3);
  row3->addWidget(Combo2, 1, 3);
  row3->addWidget(heading(QStringLiteral("RSe")), 0, 4);
  row3->addWidget(Text6, 1, 4);
  row3->addWidget(heading(QStringLiteral("RSr")), 0, 5);
  row3->addWidget(Text7, 1, 5);
  row3->addWidget(heading(QStringLiteral("Su Grilla")), 0, 6);
  row3->addWidget(Text11, 1, 6);
  row3->addWidget(Label5_1, 0, 7);
  row3->addWidget(Text12, 1, 7);
  row3->setColumnStretch(8, 1);

  auto* row4 = new QGridLayout;
  row4->addWidget(heading(QStringLiteral("Observaciones")), 0, 0);
  row4->addWidget(Text8, 1, 0);
  row4->addWidget(Command1, 1, 1);
  row4->addWidget(Command2, 1, 2);
  row4->setColumnStretch(0, 1);

  auto* all = new QVBoxLayout(this);
  all->addLayout(row1);
  all->addLayout(row2);
  all->addLayout(row3);
  all->addLayout(row4);

  setTabOrder(Text1, Text10);
  setTabOrder(Text10, Text3);
  setTabOrder(Text3, Text2);
  setTabOrder(Text2, Text4);
  setTabOrder(Text4, Text5);
  setTabOrder(Text5, mhz);
  setTabOrder(mhz, Text9);
  setTabOrder(Text9, Combo2);
  setTabOrder(Combo2, Text6);
  setTabOrder(Text6, Text7);
  setTabOrder(Text7, Text11);
  setTabOrder(Text11, Text12);
  setTabOrder(Text12, Text8);
  setTabOrder(Text8, Command1);
  setTabOrder(Command1, Command2);

  for (QLineEdit* e : {Text1, Text2, Text3, Text4, Text5, Text10, Text11}) e->installEventFilter(this);
  // What the operator puts in by any road (pasted, dropped) passes the same filter.
  const std::pair<QLineEdit*, KeyFilter> filtered[] = {{Text1, KeyFilter::Call}, {Text2, KeyFilter::Call},
                                                       {Text3, KeyFilter::Call}, {Text10, KeyFilter::Grid},
                                                       {Text11, KeyFilter::Grid}, {Text4, KeyFilter::Date},
                                                       {Text5, KeyFilter::Time}};
  for (const auto& [e, filter] : filtered) {
    applyKeyRule(e, [filter = filter](QChar c) {
      const QChar upper = c.toUpper();
      return keeps(filter, upper) ? upper : QChar();
    });
  }
  for (QLineEdit* grid : {Text10, Text11}) applyShapeRule(grid, GridLastCharacterFits);

  connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form5::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &Form5::Command4_Click);
  connect(Command13, &QPushButton::clicked, this, &Form5::Command13_Click);
  connect(Check1, &QCheckBox::toggled, this, &Form5::Check1_Click);
  connect(mhz, &QComboBox::currentIndexChanged, this, &Form5::mhz_Click);
  connect(Text10, &QLineEdit::textChanged, this, [this] { keepGridShape(Text10); });
  connect(Text11, &QLineEdit::textChanged, this, [this] { keepGridShape(Text11); });
  connect(qApp, &QApplication::focusChanged, this, &Form5::onFocusChanged);
}

Form5::~Form5() {
  // The program-wide focus signal must not reach this window while its children are
  // destroyed: by then it is a window no more.
  disconnect(qApp, nullptr, this, nullptr);
}

qint64 Form5::qsoId() const {
  QString rest = windowTitle();
  rest.remove(kCaptionPrefix);
  return vbValInt(rest);
}

void Form5::showRukStatus(const QString& ruk) {
  switch (RukStatus(ruk)) {
    case kRukNotUploaded:
      subidoARuk->setText(QStringLiteral("NO"));
      ConfARuk->setText(QStringLiteral("NO"));
      break;
    case kRukUploaded:
      subidoARuk->setText(QStringLiteral("SI"));
      ConfARuk->setText(QStringLiteral("NO"));
      break;
    case kRukConfirmed:
      subidoARuk->setText(QStringLiteral("SI"));
      ConfARuk->setText(QStringLiteral("SI"));
      break;
    default:
      // An unknown state is neither uploaded nor confirmed; the labels must not
      // keep what an earlier QSO showed.
      subidoARuk->setText(QStringLiteral("NO"));
      ConfARuk->setText(QStringLiteral("NO"));
      break;
  }
}

namespace {

// Refills a selector with the list and the value added when missing, and selects
// the value. The selection's reaction runs once, for the value.
void fillSelector(QComboBox* c, const QStringList& list, const QString& value) {
  {
    const QSignalBlocker quiet(c);
    c->clear();
    c->addItems(list);
    if (c->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) c->addItem(value);
    c->setCurrentIndex(-1);
  }
  c->setCurrentIndex(c->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

}  // namespace

void Form5::showValue(QLineEdit* box, const QString& value) {
  box->setMaxLength(std::max(box->property(kDesignLength).toInt(), int(value.size())));
  box->setText(value);
  shown_.insert(box, box->text());
}

bool Form5::unchanged(QLineEdit* box) const {
  const auto it = shown_.constFind(box);
  return stored_ && it != shown_.cend() && *it == box->text();
}

QString Form5::keptOr(QLineEdit* box, const QString& stored, const QString& edited) const {
  return unchanged(box) ? stored : edited;
}

void Form5::fillFrom(const LogQso& row, const QStringList& modes, const QStringList& mhzList) {
  setWindowTitle(kCaptionPrefix + QString::number(row.id));
  // The lists show some values shortened (the time without seconds): what an
  // unchanged box writes back is read from the row itself.
  shown_.clear();
  stored_.reset();
  if (const Result<std::optional<LogQso>> found = FindQsoById(row.id); found.ok()) stored_ = found.value;
  showValue(Text2, row.Estacion);
  Label11->setText(row.Banda);

  QString frequency = row.Frecuencia;
  frequency.replace(QLatin1Char(','), QLatin1Char('.'));
  const qsizetype point = frequency.indexOf(QLatin1Char('.'));
  fillSelector(mhz, mhzList, point < 0 ? frequency : frequency.left(point));
  shownMhz_ = mhz->currentText();
  showValue(Text9, point < 0 ? QString() : frequency.mid(point + 1));

  fillSelector(Combo2, modes, row.Modo);
  shownMode_ = Combo2->currentText();
  showValue(Text6, row.RSE);
  showValue(Text7, row.RSR);
  showValue(Text4, row.Fecha);
  showValue(Text5, row.Hora);
  showValue(Text1, row.MyCall);
  showValue(Text3, row.Operador);
  showValue(Text8, row.Obs);
  showValue(Text10, row.MiGrid);
  showValue(Text11, row.SuGrid);
  showRukStatus(row.Ruk);

  const QString satellite = trimBlanks(row.Nombre_Sat);
  showValue(Text12, satellite);
  Text12->setVisible(!satellite.isEmpty());
  Label5_1->setVisible(!satellite.isEmpty());
}

// ---- Leave checks ------------------------------------------------------------

QString Form5::dateProblem(const QString& text) {
  return IsInvalidDate(text) ? QStringLiteral("Error Fecha!\r\nFormato: DD/MM/AAAA") : QString();
}

QString Form5::timeProblem(const QString& text) {
  // Only digits make a time: "1?:30" would otherwise read as 01:30 and be stored so.
  const bool shaped = text.size() == 5 && text[2] == u':' && isDigit(text[0]) && isDigit(text[1]) &&
                      isDigit(text[3]) && isDigit(text[4]);
  if (!shaped) return QStringLiteral("Error Hora!\r\nFormato: HH:MM");
  if (text.left(2).toInt() > 23) return QStringLiteral("Error Hora!\r\nMayor de 23.");
  if (text.mid(3, 2).toInt() > 59) return QStringLiteral("Error Minutos!\r\nMayor de 59.");
  return {};
}

QString Form5::ownGridProblem(const QString& text) {
  return text.size() == 0 || text.size() == 6 ? QString() : QStringLiteral("Grilla incorrecta!");
}

QString Form5::workedGridProblem(const QString& text) {
  return text.size() == 0 || text.size() == 4 || text.size() == 6 ? QString() : QStringLiteral("Grilla incorrecta!");
}

void Form5::focusBack(QWidget* box) {
  // Queued: the focus is still moving when a leave check runs.
  QTimer::singleShot(0, box, [this, box] {
    refocusing_ = true;
    box->setFocus(Qt::OtherFocusReason);
    refocusing_ = false;
  });
}

void Form5::refuse(QLineEdit* box, const QString& message) {
  msgBox(message, MsgIcon::Exclamation);
  focusBack(box);
}

void Form5::Text4_LostFocus() {
  const QString problem = dateProblem(Text4->text());
  if (!problem.isEmpty()) refuse(Text4, problem);
}

void Form5::Text5_LostFocus() {
  const QString problem = timeProblem(Text5->text());
  if (!problem.isEmpty()) refuse(Text5, problem);
}

void Form5::Text10_LostFocus() {
  const QString problem = ownGridProblem(Text10->text());
  if (!problem.isEmpty()) refuse(Text10, problem);
}

void Form5::Text11_LostFocus() {
  const QString problem = workedGridProblem(Text11->text());
  if (!problem.isEmpty()) refuse(Text11, problem);
}

void Form5::Text9_LostFocus() {
  QString khz = Text9->text();
  if (khz.isEmpty())
    khz = QStringLiteral("000");
  else if (khz.size() == 1)
    khz += QStringLiteral("00");
  else if (khz.size() == 2)
    khz += QLatin1Char('0');
  Text9->setText(khz);
  if (!state().EditFormLoading) SetEditBandFromFrequency(mhz->currentText(), khz);
}

void Form5::onFocusChanged(QWidget* old, QWidget* now) {
  // Only a move inside the dialog is a leave: a message box or another window
  // taking the focus is not, nor the focus put back after a refusal.
  if (refocusing_ || !old || !now || now->window() != this || old->window() != this) return;
  if (old == Text4)
    Text4_LostFocus();
  else if (old == Text5)
    Text5_LostFocus();
  else if (old == Text9)
    Text9_LostFocus();
  else if (old == Text10)
    Text10_LostFocus();
  else if (old == Text11)
    Text11_LostFocus();
}

// ---- Reactions ---------------------------------------------------------------

void Form5::SetEditBandFromFrequency(const QString& mhzText, const QString& khzText) {
  const BandChoice choice = BandFromSelectors(mhzText, khzText);
  if (!choice.warning.isEmpty()) {
    msgBox(choice.warning, MsgIcon::Exclamation);
    focusBack(Text9);
  }
  Label11->setText(choice.band);
}

void Form5::mhz_Click() {
  if (!state().EditFormLoading) SetEditBandFromFrequency(mhz->currentText(), Text9->text());
}

void Form5::Check1_Click() {
  Text12->setVisible(Check1->isChecked());
  Label5_1->setVisible(Check1->isChecked());
}

void Form5::keepGridShape(QLineEdit* box) {
  // The last character must be a letter at places 1, 2, 5, 6 and a digit at 3, 4.
  // Letters of either case fit: an imported grid such as FN31pr keeps its
  // subsquare when the dialog is filled, and typed letters are upper-cased anyway.
  QString text = box->text();
  auto fits = [](const QString& t) {
    const QChar last = t.back();
    const qsizetype n = t.size();
    return n == 1 || n == 2 || n == 5 || n == 6 ? isAsciiLetter(last.toUpper()) : isDigit(last);
  };
  while (!text.isEmpty() && !fits(text)) text.chop(1);
  if (text != box->text()) {
    box->setText(text);
    box->setCursorPosition(int(text.size()));
  }
}

bool Form5::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  auto* key = static_cast<QKeyEvent*>(e);
  const QString typed = key->text();
  if (typed.size() != 1 || !typed[0].isPrint() || (key->modifiers() & Qt::ControlModifier))
    return QDialog::eventFilter(watched, e);

  KeyFilter filter = KeyFilter::None;
  if (watched == Text1 || watched == Text2 || watched == Text3)
    filter = KeyFilter::Call;
  else if (watched == Text10 || watched == Text11)
    filter = KeyFilter::Grid;
  else if (watched == Text4)
    filter = KeyFilter::Date;
  else if (watched == Text5)
    filter = KeyFilter::Time;
  if (filter == KeyFilter::None) return QDialog::eventFilter(watched, e);

  const QChar upper = typed[0].toUpper();
  if (!keeps(filter, upper)) return true;  // dropped
  if (upper == typed[0]) return QDialog::eventFilter(watched, e);
  static_cast<QLineEdit*>(watched)->insert(QString(upper));
  return true;
}

void Form5::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  state().EditFormLoading = false;
}

bool Form5::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) state().EditFormLoading = false;
  return QDialog::event(e);
}

void Form5::reject() {
  // Esc and the title bar: nothing is saved and the dialog is unloaded.
  unloadRequested_ = true;
  QDialog::reject();
}

// ---- Save and delete ---------------------------------------------------------

void Form5::Command1_Click() {
  // "Guardar" takes no focus when clicked, so the kHz box being typed in is left
  // here, as it is before any other button acts: "5" is saved as 500 kHz.
  if (QApplication::focusWidget() == Text9) Text9_LostFocus();
  const QString mode = Combo2->currentText();
  if (mode == u"Sat" && trimBlanks(Text12->text()).isEmpty()) {
    // The satellite box may be hidden: show it, so it can take the focus.
    Check1->setChecked(true);
    Check1_Click();
    msgBox(QStringLiteral("Debe agregar el nombre del Satélite"), MsgIcon::Critical);
    focusBack(Text12);
    return;
  }
  const QString satellite = keptOr(Text12, stored_ ? stored_->Nombre_Sat : QString(), Text12->text().toUpper());
  Text12->setText(Text12->text().toUpper());
  if (Text1->text() == Text2->text()) {
    msgBox(QStringLiteral("QSO con la propia estación???"), MsgIcon::Critical);
    focusBack(Text2);
    return;
  }
  if (Text3->text() == Text2->text()) {
    msgBox(QStringLiteral("QSO con el Operador???"), MsgIcon::Critical);
    focusBack(Text2);
    return;
  }
  for (QLineEdit* report : {Text6, Text7}) {
    if (trimBlanks(report->text()).isEmpty() || IsInvalidEditReport(report->text())) {
      refuse(report, QStringLiteral("Reporte incorrecto!"));
      return;
    }
  }
  // The leave checks again: a box left by a click on "Guardar" was never left.
  const struct {
    QLineEdit* box;
    QString problem;
  } checks[] = {{Text10, ownGridProblem(Text10->text())},
                {Text4, dateProblem(Text4->text())},
                {Text5, timeProblem(Text5->text())},
                {Text11, workedGridProblem(Text11->text())}};
  for (const auto& c : checks) {
    if (!c.problem.isEmpty()) {
      refuse(c.box, c.problem);
      return;
    }
  }

  // A box the operator left as it was filled writes back what was stored, byte for
  // byte: pressing "Guardar" without a change changes nothing.
  const LogQso old = stored_.value_or(LogQso{});
  QString remarks = old.Obs;
  if (!unchanged(Text8)) {
    remarks = Text8->text();
    remarks.remove(QLatin1Char('\''));
    Text8->setText(remarks);
  }

  // The kHz box as its leave check completes it ("" and "5" read as "000", "500").
  auto khzOf = [](QString khz) { return khz.leftJustified(3, u'0'); };
  const bool frequencyKept = stored_ && mhz->currentText() == shownMhz_ &&
                             khzOf(Text9->text()) == khzOf(shown_.value(Text9));

  EditedQso e;
  e.mode = stored_ && mode == shownMode_ ? old.Modo : mode;
  e.band = frequencyKept ? old.Banda : Label11->text();
  e.ownCall = keptOr(Text1, old.MyCall, Text1->text());
  e.call = keptOr(Text2, old.Estacion, Text2->text());
  e.date = keptOr(Text4, old.Fecha, formatDate(parseDayFirstDate(Text4->text())));
  e.time = keptOr(Text5, old.Hora, Text5->text());
  e.reportSent = keptOr(Text6, old.RSE, Text6->text());
  e.reportReceived = keptOr(Text7, old.RSR, Text7->text());
  e.remarks = remarks;
  e.operatorCall = keptOr(Text3, old.Operador, Text3->text());
  e.ownGrid = keptOr(Text10, old.MiGrid, Text10->text());
  e.workedGrid = keptOr(Text11, old.SuGrid, Text11->text());
  // A QSO stored without a frequency keeps none.
  e.frequency = frequencyKept ? old.Frecuencia
                : mhz->currentText().isEmpty() && Text9->text().isEmpty()
                    ? QString()
                    : mhz->currentText() + QLatin1Char('.') + Text9->text();
  e.satellite = satellite;
  e.province = keptOr(Text2, old.Argento, ProvinceFromCallSign(Text2->text()));

  const qint64 id = qsoId();
  const Status saved = SaveEditedQso(e, id);
  if (!saved) {
    // The edits stay in the dialog: the operator may try again or press Esc.
    showError(QStringLiteral("No se pudieron guardar los cambios del QSO #%1! ").arg(id) + nothingStoredText() +
              QStringLiteral("\r\n\r\n") + saved.error);
    return;
  }
  hide();
  refreshCaller(id);
}

void Form5::Command2_Click() {
  const qint64 id = qsoId();
  const bool yes = askYesNo(QStringLiteral("Elimina el QSO #%1?\r\n\r\nLos datos no se podrán recuperar!").arg(id));
  if (yes) {
    const Status deleted = DeleteQso(id);
    if (!deleted) {
      showError(QStringLiteral("No se pudo eliminar el QSO #%1; sigue en el log.\r\n\r\n").arg(id) + deleted.error);
      return;
    }
    // Whoever opened the dialog, the main list no longer holds the QSO: it stays
    // hidden and empty until a reload (the search view reloads it as it closes).
    form1().ListView2->hide();
    form1().ListView2->clear();
  }
  hide();
  refreshCaller(id);
}

// ---- Call-book lookups ---------------------------------------------------------
// Both only send the request; the main window's handlers of its browsers show the
// answer over this dialog.

void Form5::Command13_Click() {
  state().LookupCall = Text2->text();
  const QString user = form2().Text5->text();
  const QString password = form2().Text6->text();
  if (user.isEmpty() || password.isEmpty()) {
    showWarning(QStringLiteral("Sin configurar Usuario o Contraseña!"));
    return;
  }
  form1().WebBrowser2->get(QrzLoginUrl(user, password));
}

void Form5::Command3_Click() {
  state().LookupFromEditForm = true;
  state().LookupCall = Text2->text();
  form1().WebBrowser5->get(RukCallLookupUrl(state().LookupCall));
}

void Form5::Command4_Click() {
  // The QSO as it stands in the dialog, saved or not; the dialog stays open.
  HandOffQslCard({Text1->text(), Text2->text(), Text4->text(), Text5->text(), Combo2->currentText(),
                  Label11->text(), Text6->text(), Text12->text(), Text8->text()});
}

void Form5::refreshCaller(qint64 id) {
  if (state().EditCallerForm == u"Form1") {
    // The same page again, with the QSO as it is now.
    Form1& main = form1();
    main.ListView2->hide();
    main.ListView2->clear();
    LoadLogPage(state().CurrentLogName, state().LogPageStart);
    return;
  }
  const auto it = callerRefreshes().constFind(state().EditCallerForm);
  if (it != callerRefreshes().constEnd() && *it) (*it)(id);
}

}  // namespace vz
