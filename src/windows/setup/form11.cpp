#include "setup/form11.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/cp1252box.h"
#include "platform/textfile.h"
#include "platform/textutil.h"
#include "store/satellites.h"
#include "platform/placement.h"

namespace vz {
namespace {

const QStringList kBands{QStringLiteral("2m"), QStringLiteral("70cm"), QStringLiteral("23cm")};
const QStringList kModes{QStringLiteral("FM"), QStringLiteral("SSB")};

constexpr int twips(int t) { return t / 15; }

std::function<void()>& satelliteFileChangedHook() {
  static std::function<void()> hook;
  return hook;
}

// Fills a selector without running its reaction; the caller chooses afterwards.
void refill(QComboBox* combo, const QStringList& items) {
  const QSignalBlocker block(combo);
  combo->clear();
  combo->addItems(items);
  combo->setCurrentIndex(0);
}

// Chooses a text in a drop-down list. A value the list does not offer (a file
// edited by hand) is shown as an extra choice, so accepting the entry keeps it.
void choose(QComboBox* combo, const QString& text) {
  int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i < 0) {
    combo->addItem(text);
    i = combo->count() - 1;
  }
  combo->setCurrentIndex(i);
}

QString orBlank(const QString& text) { return text.isEmpty() ? QStringLiteral(" ") : text; }

}  // namespace

void Form11::setSatelliteFileChanged(std::function<void()> hook) {
  satelliteFileChangedHook() = std::move(hook);
}

Form11::Form11() {
  setWindowTitle(QString::fromUtf8("Editar Satélites ..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  // A ";" would split the written line into other fields than the ones typed.
  auto* noSeparator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^;]*")), this);
  auto lineEdit = [&](QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setValidator(noSeparator);
    keepToCp1252(e);
    return e;
  };
  auto label = [&](const QString& caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    l->setPalette(p);
    Label1 << l;
    return l;
  };
  auto frequencyRow = [&](QComboBox* band, QLineEdit* frequency) {
    auto* row = new QHBoxLayout;
    row->addWidget(band, 1);
    row->addWidget(frequency, 1);
    return row;
  };

  Frame2 = new QGroupBox(QStringLiteral("Editar"), this);
  List1 = new QListWidget(Frame2);
  Label2 = new QLabel(Frame2);
  Label2->hide();
  auto* listLayout = new QVBoxLayout(Frame2);
  listLayout->addWidget(List1);

  Frame1 = new QGroupBox(QStringLiteral("Agregar"), this);
  Text1 = lineEdit(Frame1);
  Combo1 = new QComboBox(Frame1);
  Frec_new = lineEdit(Frame1);
  Combo2 = new QComboBox(Frame1);
  Combo3 = new QComboBox(Frame1);
  Text4 = lineEdit(Frame1);
  Command1 = new QPushButton(QStringLiteral("Agregar"), Frame1);
  auto* addLayout = new QGridLayout(Frame1);
  addLayout->setVerticalSpacing(4);
  addLayout->addWidget(label(QStringLiteral("Nombre:"), Frame1), 0, 0);
  addLayout->addWidget(Text1, 0, 1);
  addLayout->addWidget(label(QStringLiteral("Subida:"), Frame1), 1, 0);
  addLayout->addLayout(frequencyRow(Combo1, Frec_new), 1, 1);
  addLayout->addWidget(label(QStringLiteral("Bajada:"), Frame1), 2, 0);
  addLayout->addWidget(Combo2, 2, 1);
  addLayout->addWidget(label(QStringLiteral("Modo:"), Frame1), 3, 0);
  addLayout->addWidget(Combo3, 3, 1);
  addLayout->addWidget(label(QStringLiteral("Sub Tono:"), Frame1), 4, 0);
  addLayout->addWidget(Text4, 4, 1);
  addLayout->addWidget(Command1, 5, 1, Qt::AlignRight);

  Frame3 = new QGroupBox(QStringLiteral("Editando ..."), this);
  Text2 = lineEdit(Frame3);
  Combo8 = new QComboBox(Frame3);
  Text5 = lineEdit(Frame3);
  Combo7 = new QComboBox(Frame3);
  Combo6 = new QComboBox(Frame3);
  Text3 = lineEdit(Frame3);
  Command2 = new QPushButton(QStringLiteral("Aceptar"), Frame3);
  Command4 = new QPushButton(QStringLiteral("Eliminar"), Frame3);
  Command3 = new QPushButton(QStringLiteral("Cancelar"), Frame3);
  auto* editLayout = new QGridLayout(Frame3);
  editLayout->setVerticalSpacing(4);
  editLayout->addWidget(label(QStringLiteral("Nombre:"), Frame3), 0, 0);
  editLayout->addWidget(Text2, 0, 1);
  editLayout->addWidget(label(QStringLiteral("Subida:"), Frame3), 1, 0);
  editLayout->addLayout(frequencyRow(Combo8, Text5), 1, 1);
  editLayout->addWidget(label(QStringLiteral("Bajada:"), Frame3), 2, 0);
  editLayout->addWidget(Combo7, 2, 1);
  editLayout->addWidget(label(QStringLiteral("Modo:"), Frame3), 3, 0);
  editLayout->addWidget(Combo6, 3, 1);
  editLayout->addWidget(label(QStringLiteral("Sub Tono:"), Frame3), 4, 0);
  editLayout->addWidget(Text3, 4, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Command2);
  buttons->addWidget(Command4);
  buttons->addWidget(Command3);
  editLayout->addLayout(buttons, 5, 0, 1, 2);
  Frame3->setAutoFillBackground(true);  // it covers the list while an entry is open
  Frame3->hide();

  Frame2->setGeometry(8, 8, 272, 218);
  Frame1->setGeometry(288, 8, 272, 218);
  Frame3->setGeometry(8, 400, 272, 218);
  Frec_new->setMaxLength(7);
  Text5->setMaxLength(7);
  for (QPushButton* b : {Command1, Command2, Command4, Command3}) b->setAutoDefault(false);
  for (QLineEdit* e : {Frec_new, Text5}) {
    e->installEventFilter(this);
    // Pasted or dropped frequencies pass the same key filter as typed ones.
    applyKeyRule(e, [](QChar c) { return IsFrequencyKey(c) && c != u'\b' ? c : QChar(); });
  }
  const std::pair<QWidget*, const char*> names[] = {
      {Frame1, "Frame1"}, {Frame2, "Frame2"}, {Frame3, "Frame3"},     {List1, "List1"},
      {Label2, "Label2"}, {Text1, "Text1"},   {Combo1, "Combo1"},     {Frec_new, "Frec_new"},
      {Combo2, "Combo2"}, {Combo3, "Combo3"}, {Text4, "Text4"},       {Command1, "Command1"},
      {Text2, "Text2"},   {Combo8, "Combo8"}, {Text5, "Text5"},       {Combo7, "Combo7"},
      {Combo6, "Combo6"}, {Text3, "Text3"},   {Command2, "Command2"}, {Command4, "Command4"},
      {Command3, "Command3"}};
  for (const auto& [w, name] : names) w->setObjectName(QLatin1String(name));

  connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
  connect(Combo8, &QComboBox::currentIndexChanged, this, [this] { Combo8_Change(); });

  Form_Load();
}

void Form11::Form_Load() {
  setFixedSize(568, twips(3510));
  Frame3->move(Frame3->x(), twips(120));
  centreOverMainWindow(this);

  buildList();
  Text1->clear();
  Frec_new->clear();
  Text4->clear();
  refill(Combo1, kBands);
  Combo1_Click();
  refill(Combo2, kBands);
  choose(Combo2, QStringLiteral("70cm"));
  refill(Combo3, kModes);
}

void Form11::buildList() {
  List1->clear();
  unlistedLines_.clear();
  QStringList lines;
  readTextLines(SatelliteFilePath(), &lines);
  for (const QString& line : lines) {
    const auto e = ParseSatelliteLine(line);
    if (!e) {
      if (!trimBlanks(line).isEmpty()) unlistedLines_ << line;
      continue;
    }
    const QString entry = EditorListEntry(*e);
    int at = List1->count();
    for (int i = 0; i < List1->count(); ++i) {
      if (editorEntryLess(entry, List1->item(i)->text())) {
        at = i;
        break;
      }
    }
    List1->insertItem(at, entry);
  }
}

QStringList Form11::listEntries() const {
  QStringList entries;
  for (int i = 0; i < List1->count(); ++i) entries << List1->item(i)->text();
  return entries;
}

qsizetype Form11::openedEntryRow() const { return listEntries().indexOf(openedEntry_); }

void Form11::entryGone() {
  msgBox(QString::fromUtf8("El satélite ya no está en la lista!"), MsgIcon::Exclamation);
  Frame3->hide();
}

bool Form11::rewriteFile(const QStringList& entries) {
  QString error;
  if (writeTextLines(SatelliteFilePath(), entries + unlistedLines_, &error)) return true;
  showError(QStringLiteral("No se pudo escribir satelites.txt: ") + error);
  return false;
}

bool Form11::appendLine(const QString& line) {
  // A last line without its line end (a hand edit) would swallow the new one.
  bool ended = true;
  QFile f(SatelliteFilePath());
  if (f.open(QIODevice::ReadOnly) && f.size() > 0) {
    f.seek(f.size() - 1);
    char last = 0;
    ended = f.getChar(&last) && (last == '\r' || last == '\n');
  }
  f.close();
  QString error;
  if (appendTextLine(SatelliteFilePath(), ended ? line : QStringLiteral("\r\n") + line, &error)) return true;
  showError(QStringLiteral("No se pudo escribir satelites.txt: ") + error);
  return false;
}

void Form11::fileChanged() {
  if (satelliteFileChangedHook()) satelliteFileChangedHook()();
}

void Form11::refuse(const SatelliteRefusal& r, QLineEdit* name, QLineEdit* subTone, QComboBox* downlink,
                    QLineEdit* frequency) {
  msgBox(r.message, MsgIcon::Exclamation);
  switch (r.focus) {
    case SatelliteField::Name: name->setFocus(); break;
    case SatelliteField::SubTone: subTone->setFocus(); break;
    case SatelliteField::DownlinkBand: downlink->setFocus(); break;
    case SatelliteField::Frequency: frequency->setFocus(); break;
    case SatelliteField::None: break;
  }
}

void Form11::List1_DblClick() {
  QListWidgetItem* item = List1->currentItem();
  if (!item) return;
  const int row = List1->row(item);

  refill(Combo8, kBands);
  refill(Combo7, kBands);
  refill(Combo6, kModes);
  Text3->setText(QStringLiteral(" "));
  Label2->setText(QString::number(row));

  const SatelliteFields f = SplitEditorEntry(item->text());
  Text5->setMaxLength(FrequencyMaxLength(f.uplinkBand));
  Text2->setText(f.name);
  choose(Combo8, f.uplinkBand);
  choose(Combo7, f.downlinkBand);
  choose(Combo6, f.mode);
  Text3->setText(f.subTone);
  Text5->setText(f.frequency);
  openedEntry_ = item->text();
  Frame3->show();
  Frame3->raise();
}

void Form11::Command1_Click() {
  Text1->setText(Text1->text().toUpper());
  const SatelliteFields f{Text1->text(),        Combo1->currentText(), Combo2->currentText(),
                          Combo3->currentText(), Text4->text(),         Frec_new->text()};
  if (const auto refusal = CheckSatelliteFields(f, listEntries())) {
    refuse(*refusal, Text1, Text4, Combo2, Frec_new);
    return;
  }
  Frec_new->setText(orBlank(Frec_new->text()));
  Text4->setText(orBlank(Text4->text()));
  const QString line = JoinEditorEntry({Text1->text(), Combo1->currentText(), Combo2->currentText(),
                                        Combo3->currentText(), Text4->text(), Frec_new->text()});
  if (!appendLine(line)) return;
  fileChanged();
  buildList();
  Text1->clear();
  Frec_new->clear();
}

void Form11::Command2_Click() {
  Text2->setText(Text2->text().toUpper());
  const SatelliteFields f{Text2->text(),        Combo8->currentText(), Combo7->currentText(),
                          Combo6->currentText(), Text3->text(),         Text5->text()};
  const qsizetype row = openedEntryRow();
  if (const auto refusal = CheckSatelliteFields(f, listEntries(), row)) {
    refuse(*refusal, Text2, Text3, Combo7, Text5);
    return;
  }
  if (row < 0) return entryGone();
  Text3->setText(orBlank(Text3->text()));
  Text5->setText(orBlank(Text5->text()));
  const QString entry = JoinEditorEntry({Text2->text(), Combo8->currentText(), Combo7->currentText(),
                                         Combo6->currentText(), Text3->text(), Text5->text()});
  QStringList entries = listEntries();
  entries[row] = entry;
  if (!rewriteFile(entries)) return;
  List1->item(int(row))->setText(entry);
  Label2->setText(QString::number(row));
  openedEntry_ = entry;
  Frame3->hide();
  hide();
  fileChanged();
}

void Form11::Command4_Click() {
  if (!askYesNo(QString::fromUtf8("Elimina Satélite ") + Text2->text() + u'?')) return;
  const qsizetype row = openedEntryRow();
  if (row < 0) return entryGone();
  QStringList entries = listEntries();
  entries.removeAt(row);
  if (!rewriteFile(entries)) return;
  Frame3->hide();
  fileChanged();
  buildList();
}

void Form11::Command3_Click() {
  Frame3->hide();
  hide();
}

void Form11::Combo1_Click() { Frec_new->setMaxLength(FrequencyMaxLength(Combo1->currentText())); }

void Form11::Combo8_Change() { Text5->setMaxLength(FrequencyMaxLength(Combo8->currentText())); }

void Form11::Frec_new_KeyPress(QChar& key) {
  if (!IsFrequencyKey(key)) key = QChar();
}

void Form11::Text5_KeyPress(QChar& key) { Frec_new_KeyPress(key); }

void Form11::Frec_new_LostFocus() { frequencyLeaveCheck(Frec_new, Combo1); }

void Form11::Text5_LostFocus() { frequencyLeaveCheck(Text5, Combo8); }

bool Form11::frequencyLeaveCheck(QLineEdit* box, QComboBox* band) {
  const QString message = CheckUplinkFrequency(band->currentText(), box->text());
  if (message.isEmpty()) return true;
  msgBox(message, MsgIcon::Exclamation);
  refusedBox_ = box;
  QTimer::singleShot(0, box, [this, box] {
    box->setFocus();
    refusedBox_ = nullptr;
  });
  return false;
}

void Form11::reject() { Command3_Click(); }

void Form11::closeEvent(QCloseEvent* event) {
  // Closing from the title bar unloads the window: the next use builds it anew.
  event->accept();
  deleteLater();
}

bool Form11::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Frec_new && watched != Text5) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() == 1 && (text[0].isPrint() || text[0] == u'\b')) {
      QChar key = text[0];
      if (watched == Frec_new)
        Frec_new_KeyPress(key);
      else
        Text5_KeyPress(key);
      if (key.isNull()) return true;
    }
  } else if (event->type() == QEvent::FocusOut) {
    // Only a move to another box of this window is checked here: the buttons that
    // store a satellite check the frequency themselves, and a message box or another
    // window taking the focus is no leaving.
    QWidget* next = QApplication::focusWidget();
    if (isVisible() && next && next != watched && next != refusedBox_ && isAncestorOf(next) &&
        !qobject_cast<QPushButton*>(next)) {
      if (watched == Frec_new)
        Frec_new_LostFocus();
      else
        Text5_LostFocus();
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vz
