#include "exchange/form6.h"

#include <QBrush>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <utility>
#include <QVBoxLayout>

#include "exchange/adif.h"
#include "exchange/searchexport.h"
#include "exchange/searchlistmodel.h"
#include "exchange/searchquery.h"
#include "mainwin/form1.h"
#include "mainwin/form5.h"
#include "mainwin/qsolist.h"
#include "platform/cp1252box.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/textutil.h"
#include "mainwin/layoutscaler.h"
#include "store/programstate.h"

namespace vz {

namespace {

const QString kCallerName = QStringLiteral("Form6");
const QString kNoQsos = QStringLiteral("No hay QSOs para exportar!");

// The edit dialog's lists when it opens from this window.
const QStringList& editModes() {
  static const QStringList modes = {QStringLiteral("SSB"), QStringLiteral("CW"), QStringLiteral("FM"),
                                    QStringLiteral("DVoice")};
  return modes;
}

const QStringList& editMhz() {
  static const QStringList list = [] {
    QStringList l;
    for (int m : {1, 3, 5, 7, 10, 14, 18, 21, 24, 28, 29, 50, 51, 52, 220, 221, 222, 223, 224, 144, 145, 146, 147,
                  430, 431, 432, 433, 434, 435, 436, 437, 438, 439, 1267})
      l << QString::number(m);
    return l;
  }();
  return list;
}

QLabel* picture(const QColor& colour, const QString& letters) {
  QPixmap p(32, 24);
  p.fill(Qt::transparent);
  QPainter painter(&p);
  painter.setBrush(colour);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(p.rect(), 4, 4);
  painter.setPen(Qt::white);
  painter.drawText(p.rect(), Qt::AlignCenter, letters);
  painter.end();
  auto* label = new QLabel;
  label->setPixmap(p);
  label->hide();
  return label;
}

QLineEdit* box(int maxLength = 0) {
  auto* b = new QLineEdit;
  if (maxLength > 0) b->setMaxLength(maxLength);
  return b;
}

bool isAsciiDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

Form6::Form6() {
  setWindowTitle(QStringLiteral("Exportar ..."));
  setModal(true);

  Frame2 = new QGroupBox(QStringLiteral("Mi estación"));
  Label1 = new QLabel(QStringLiteral("Señal Distintiva"));
  Text3 = box();
  Label2 = new QLabel(QStringLiteral("Operador"));
  Text4 = box();
  {
    auto* g = new QGridLayout(Frame2);
    g->addWidget(Label1, 0, 0);
    g->addWidget(Text3, 1, 0);
    g->addWidget(Label2, 0, 1);
    g->addWidget(Text4, 1, 1);
  }

  Frame3 = new QGroupBox(QStringLiteral("QSOs"));
  Label8 = new QLabel(QStringLiteral("Corresponsal"));
  Text5 = box();
  Label9 = new QLabel(QStringLiteral("Modo"));
  Text6 = box();
  Label10 = new QLabel(QStringLiteral("Banda"));
  Text7 = box();
  Label11 = new QLabel(QStringLiteral("Observaciones"));
  Text8 = box();
  Label3 = new QLabel(QStringLiteral("Desde"));
  Text1 = box(10);
  Label4 = new QLabel(QStringLiteral("Hasta"));
  Text2 = box(10);
  Check1 = new QCheckBox(QStringLiteral("Satélite"));
  Image2 = picture(QColor(0, 90, 160), QStringLiteral("SAT"));
  Image1 = picture(QColor(90, 160, 220), QStringLiteral("LU"));
  // A hidden picture keeps its place: the blink must not shift the filter row.
  for (QLabel* pictureLabel : {Image2, Image1}) {
    QSizePolicy keep = pictureLabel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    pictureLabel->setSizePolicy(keep);
  }
  {
    auto* g = new QGridLayout(Frame3);
    int col = 0;
    for (auto [label, text] : {std::pair{Label8, Text5}, {Label9, Text6}, {Label10, Text7}, {Label11, Text8},
                               {Label3, Text1}, {Label4, Text2}}) {
      g->addWidget(label, 0, col);
      g->addWidget(text, 1, col);
      ++col;
    }
    g->setColumnStretch(3, 2);
    g->addWidget(Check1, 1, col++);
    g->addWidget(Image2, 1, col++);
    g->addWidget(Image1, 1, col++);
  }
  Timer1 = new QTimer(this);
  Timer1->setInterval(250);

  Frame4 = new QGroupBox(QStringLiteral("Ruk"));
  Check2 = new QCheckBox(QStringLiteral("Solo Argentinos"));
  Option3 = new QRadioButton(QStringLiteral("Confirmados"));
  Option4 = new QRadioButton(QStringLiteral("Todos"));
  Option4->setChecked(true);
  Option3->setEnabled(false);
  Option4->setEnabled(false);
  {
    auto* v = new QVBoxLayout(Frame4);
    v->addWidget(Check2);
    v->addWidget(Option3);
    v->addWidget(Option4);
  }

  Command3 = new QPushButton(QStringLiteral("Buscar"));
  Command4 = new QPushButton(QStringLiteral("Borrar Filtros"));
  Command4->setEnabled(false);

  Label13 = new QLabel(QStringLiteral("Buscando ..."));
  Label13->hide();
  Label12 = new QLabel(QStringLiteral("QSOs:"));
  Label6 = new QLabel;
  Frame1 = new QGroupBox;
  ListView2 = new QTreeView;
  ListModel = new SearchListModel(this);
  SetupSearchListView(ListView2, ListModel);
  (new QVBoxLayout(Frame1))->addWidget(ListView2);

  Command1 = new QPushButton(QStringLiteral("Exportar ADIF"));
  Command6 = new QPushButton(QStringLiteral("Subir a Ruk"));
  Command8 = new QPushButton(QStringLiteral("Subir a eQSL"));

  Frame5 = new QGroupBox(QStringLiteral("Respuesta"), this);
  RichTextBox1 = new QTextEdit;
  RichTextBox1->setReadOnly(true);
  ProgressBar1 = new QProgressBar;
  Command7 = new QPushButton(QStringLiteral("Cerrar"));
  {
    auto* v = new QVBoxLayout(Frame5);
    v->addWidget(RichTextBox1);
    v->addWidget(ProgressBar1);
    v->addWidget(Command7, 0, Qt::AlignRight);
  }
  Frame5->resize(600, 300);
  Frame5->setAutoFillBackground(true);
  Frame5->hide();
  Timer2 = new QTimer(this);
  Timer2->setInterval(5000);

  auto* top = new QHBoxLayout;
  top->addWidget(Frame2);
  top->addWidget(Frame4);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(Command3);
  buttons->addWidget(Command4);
  top->addLayout(buttons);
  auto* countRow = new QHBoxLayout;
  countRow->addWidget(Label13);
  countRow->addStretch();
  countRow->addWidget(Label12);
  countRow->addWidget(Label6);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(Command1);
  bottom->addWidget(Command6);
  bottom->addWidget(Command8);
  auto* all = new QVBoxLayout(this);
  all->addLayout(top);
  all->addWidget(Frame3);
  all->addLayout(countRow);
  all->addWidget(Frame1, 1);
  all->addLayout(bottom);
  resize(int(12000 / kTwipsPerPixel), int(7800 / kTwipsPerPixel));

  for (QLineEdit* b : {Text1, Text2, Text3, Text4, Text5, Text7}) b->installEventFilter(this);
  // A filter box's key rule also takes what is pasted or dropped into it.
  for (QLineEdit* b : {Text1, Text2, Text3, Text4, Text5}) {
    applyKeyRule(b, [this, b](QChar c) {
      int k = c.unicode();
      if (b == Text1 || b == Text2) Text1_KeyPress(k);
      else Text3_KeyPress(k);
      return k == 0 || k == 8 ? QChar() : QChar(char16_t(k));
    });
  }
  for (QLineEdit* b : {Text1, Text2, Text8})
    connect(b, &QLineEdit::textChanged, this, [this] { Check1_Click(); });
  for (QLineEdit* b : {Text3, Text4, Text5, Text6, Text7})
    connect(b, &QLineEdit::textChanged, this, [this] { UpdateClearFiltersButton(); });
  connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
  connect(Check2, &QCheckBox::toggled, this, [this] { Check2_Click(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  Command5 = new QPushButton(this);
  Command5->hide();
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
  connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
  connect(ListView2->header(), &QHeaderView::sectionClicked, this,
          [this](int logical) { ListView2_ColumnClick(logical + 1); });
  connect(ListView2, &QTreeView::doubleClicked, this, [this] { ListView2_DblClick(); });

  setUpUploads();
  setListedCount(QString());
  setEditCallerRefresh(kCallerName, [this](qint64 id) { RefreshSearchListRow(id); });
}

Form6::~Form6() { setEditCallerRefresh(kCallerName, {}); }

// ---- Filling the list ------------------------------------------------------------

Result<SearchListing> Form6::listAgain() const {
  return searched_ ? ListSearchLogQsos(state().CurrentLogName, searchedWith_, sorts_)
                   : ListSearchViewLog(state().CurrentLogName, sorts_);
}

void Form6::showListing(SearchListing listing) {
  // A new listing comes sorted by the query under the heading in force.
  cancelSorts();
  ListModel->setListing(std::move(listing));
  QHeaderView* header = ListView2->header();
  header->setSortIndicatorShown(ListView2Sort.on);
  if (ListView2Sort.on) header->setSortIndicator(ListView2Sort.key, ListView2Sort.order);
}

bool Form6::fillWithCurrentLog() {
  Form1& main = form1();
  // A fresh list is sorted under the last heading click only.
  sorts_.clear();
  if (ListView2Sort.on) sorts_.push_back({ListView2Sort.key, ListView2Sort.order == Qt::DescendingOrder});
  searched_ = false;
  Result<SearchListing> listing = listAgain();
  if (!listing.ok()) {
    showError(listing.error());
    return false;
  }
  const int read = listing.value.rowsRead;
  showListing(std::move(listing.value));
  main.Label9->setText(QStringLiteral("Cargando ... ") + QString::number(read));
  setListedCount(QString::number(ListModel->count()));
  return true;
}

void Form6::setListedCount(const QString& caption) {
  Label6->setText(caption);
  Label6_Change();
}

void Form6::Label6_Change() {
  const bool any = vbVal(Label6->text()) != 0;
  for (QPushButton* b : {Command1, Command6, Command8}) b->setEnabled(any);
}

// ---- Search ------------------------------------------------------------------------

SearchFilters Form6::currentFilters() const {
  SearchFilters f;
  f.ownCall = Text3->text();
  f.operatorCall = Text4->text();
  f.call = Text5->text();
  f.mode = Text6->text();
  f.band = Text7->text();
  f.remarks = Text8->text();
  f.satelliteOnly = Check1->isChecked();
  f.fromDate = Text1->text();
  f.toDate = Text2->text();
  f.argentineOnly = Check2->isChecked();
  f.confirmedOnly = Option3->isChecked();
  return f;
}

void Form6::Command3_Click() {
  // The search does not hand control back while it reads, so no click can start a
  // second one; the guard keeps it so.
  if (searching_) return;
  searching_ = true;
  const int before = ListModel->count();
  setListedCount(QStringLiteral("?"));
  Label13->setText(QStringLiteral("Buscando ..."));
  Label13->show();
  ListView2->hide();

  const SearchFilters filters = currentFilters();
  std::vector<SearchSortKey> sorts;
  if (ListView2Sort.on) sorts.push_back({ListView2Sort.key, ListView2Sort.order == Qt::DescendingOrder});
  Result<SearchListing> found = ListSearchLogQsos(state().CurrentLogName, filters, sorts);
  if (found.ok()) {
    searched_ = true;
    searchedWith_ = filters;
    sorts_ = std::move(sorts);
    Label13->setText(QStringLiteral("Buscando ... ") + QString::number(found.value.rowsRead));
    showListing(std::move(found.value));
  }
  Label13->hide();
  ListView2->show();
  // A failed search leaves the last result listed.
  setListedCount(QString::number(found.ok() ? ListModel->count() : before));
  searching_ = false;
  if (!found.ok()) showError(found.error());
}

void Form6::Command4_Click() {
  for (QLineEdit* b : {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8}) b->clear();
  Check1->setChecked(false);
  Check2->setChecked(false);
  Command3_Click();
}

void Form6::Check1_Click() {
  if (Check1->isChecked()) {
    Timer1->start();
  } else {
    Timer1->stop();
    Image2->show();
  }
  UpdateClearFiltersButton();
}

void Form6::Check2_Click() {
  const bool on = Check2->isChecked();
  Option3->setEnabled(on);
  Option4->setEnabled(on);
  Image1->setVisible(on);
  Check1_Click();
}

void Form6::UpdateClearFiltersButton() {
  bool any = Check1->isChecked() || Check2->isChecked();
  for (QLineEdit* b : {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8})
    if (!b->text().isEmpty()) any = true;
  Command4->setEnabled(any);
}

void Form6::Timer1_Timer() { Image2->setVisible(!Image2->isVisible()); }

// ---- Input rules -------------------------------------------------------------------

void Form6::Text1_KeyPress(int& KeyAscii) {
  if (!isAsciiDigit(KeyAscii) && KeyAscii != '/' && KeyAscii != '?' && KeyAscii != 8) KeyAscii = 0;
}
void Form6::Text2_KeyPress(int& KeyAscii) { Text1_KeyPress(KeyAscii); }

void Form6::Text3_KeyPress(int& KeyAscii) {
  if (KeyAscii > 0 && KeyAscii < 0x10000) KeyAscii = QChar(char16_t(KeyAscii)).toUpper().unicode();
  const bool letter = KeyAscii >= 'A' && KeyAscii <= 'Z';
  if (!letter && !isAsciiDigit(KeyAscii) && KeyAscii != '/' && KeyAscii != '?' && KeyAscii != '*' &&
      KeyAscii != 8)
    KeyAscii = 0;
}
void Form6::Text4_KeyPress(int& KeyAscii) { Text3_KeyPress(KeyAscii); }
void Form6::Text5_KeyPress(int& KeyAscii) { Text3_KeyPress(KeyAscii); }

void Form6::dateLeaveCheck(QLineEdit* b) {
  const QString text = trimBlanks(b->text());
  if (text.isEmpty() || parseDayFirstDate(text).isValid()) return;
  msgBox(SearchDateFormatError(), MsgIcon::Critical);
  // Queued: the focus is still moving when the check runs.
  QTimer::singleShot(0, b, [b] { b->setFocus(Qt::OtherFocusReason); });
}

void Form6::Text1_LostFocus() { dateLeaveCheck(Text1); }
void Form6::Text2_LostFocus() { dateLeaveCheck(Text2); }

void Form6::Text7_LostFocus() {
  QString band = trimBlanks(Text7->text()).toUpper();
  if (!band.isEmpty() && !band.contains(u'M')) band += u'M';
  if (band != Text7->text()) Text7->setText(band);
}

bool Form6::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusOut) {
    // Only a move inside the window: a message box or another window taking the
    // focus runs no check.
    const auto reason = static_cast<QFocusEvent*>(e)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == Text1) Text1_LostFocus();
      if (watched == Text2) Text2_LostFocus();
      if (watched == Text7) Text7_LostFocus();
    }
    return QDialog::eventFilter(watched, e);
  }
  if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  auto* key = static_cast<QKeyEvent*>(e);
  const QString typed = key->text();
  // Editing keys and shortcuts keep their meaning; Backspace passes every rule.
  if (typed.size() != 1 || (key->modifiers() & Qt::ControlModifier) || (!typed[0].isPrint() && typed[0] != u'\r'))
    return QDialog::eventFilter(watched, e);
  int k = typed[0].unicode();
  const int original = k;
  if (watched == Text1) Text1_KeyPress(k);
  else if (watched == Text2) Text2_KeyPress(k);
  else if (watched == Text3) Text3_KeyPress(k);
  else if (watched == Text4) Text4_KeyPress(k);
  else if (watched == Text5) Text5_KeyPress(k);
  else return QDialog::eventFilter(watched, e);
  if (k == 0) return true;
  if (k != original) {
    static_cast<QLineEdit*>(watched)->insert(QString(QChar(char16_t(k))));
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

// ---- Sorting and the edit hand-off ------------------------------------------------

void Form6::ListView2_ColumnClick(int headingPosition) {
  const int key = QsoListSortColumnForHeading(headingPosition);
  const Qt::SortOrder order =
      ListView2Sort.order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  // In force at once for every later fill, which the query sorts.
  ListView2Sort = {key, order, true};
  std::erase_if(sorts_, [&](const SearchSortKey& k) { return k.column == key; });
  sorts_.insert(sorts_.begin(), {key, order == Qt::DescendingOrder});
  // The rows listed are sorted as they stand, so rows that tie under this heading keep
  // the order they have: the earlier sorts follow it.
  pendingSorts_.push_back({key, order});
  if (!sortJob_) startNextSort();
}

// How long one piece of a heading sort may hold the window.
constexpr int kSortStepMs = 30;

void Form6::startNextSort() {
  if (pendingSorts_.empty()) return;
  const HeadingSort next = pendingSorts_.front();
  QElapsedTimer taking;
  taking.start();
  sortJob_ = std::make_unique<HeldIdsSort>(ListModel->ids(), SearchSortKey{next.key, next.order == Qt::DescendingOrder},
                                           ListModel->style());
  if (!sortStep_) {
    sortStep_ = new QTimer(this);
    sortStep_->setInterval(0);
    connect(sortStep_, &QTimer::timeout, this, [this] { continueSort(kSortStepMs); });
  }
  // A short list is sorted within the click; taking a long list's ids already used
  // part of the piece.
  continueSort(std::max(5, kSortStepMs - int(taking.elapsed())));
}

void Form6::continueSort(int budgetMs) {
  if (!sortJob_) return;
  const Result<bool> done = sortJob_->step(budgetMs);
  if (done.ok() && !done.value) {
    ListView2->viewport()->setCursor(Qt::BusyCursor);
    sortStep_->start();
    return;
  }
  const HeadingSort applied = pendingSorts_.front();
  pendingSorts_.erase(pendingSorts_.begin());
  std::unique_ptr<HeldIdsSort> job = std::move(sortJob_);
  sortStep_->stop();
  ListView2->viewport()->unsetCursor();
  if (!done.ok()) {
    pendingSorts_.clear();
    showError(done.error());
    return;
  }
  std::vector<qint64> ids = job->takeIds();
  if (ids.size() != size_t(ListModel->count())) {
    // A QSO deleted while the list was sorted leaves it.
    const std::vector<qint64>& listed = ListModel->ids();
    std::vector<qint64> still(listed);
    std::sort(still.begin(), still.end());
    std::erase_if(ids, [&](qint64 id) { return !std::binary_search(still.begin(), still.end(), id); });
  }
  // Each position now holds another QSO: the selection and the current row would
  // silently move to it, so they go, as with a new list.
  ListView2->selectionModel()->clear();
  const QWidget* port = ListView2->viewport();
  const int firstShown = std::max(0, ListView2->indexAt(QPoint(1, 0)).row());
  int lastShown = ListView2->indexAt(QPoint(1, port->height() - 1)).row();
  if (lastShown < 0) lastShown = ListModel->count() - 1;
  ListModel->reorder(std::move(ids), firstShown, lastShown);
  QHeaderView* header = ListView2->header();
  header->setSortIndicatorShown(true);
  header->setSortIndicator(applied.key, applied.order);
  setListedCount(QString::number(ListModel->count()));
  startNextSort();
}

void Form6::cancelSorts() {
  pendingSorts_.clear();
  sortJob_.reset();
  if (sortStep_) sortStep_->stop();
  ListView2->viewport()->unsetCursor();
}

void Form6::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) FitSearchListFrequencyColumn(ListView2);
  QDialog::changeEvent(e);
}

void Form6::ListView2_DblClick() {
  state().EditCallerForm = kCallerName;
  if (state().LogQsoCount == 0) {
    msgBox(kNoQsos, MsgIcon::Exclamation);
    return;
  }
  const QModelIndex current = ListView2->currentIndex();
  if (!current.isValid() || current.row() >= ListModel->count()) return;
  const QsoListRow row = ListModel->rowAt(current.row());
  OpenQsoEditor(kCallerName, QsoFromListRow(row), editModes(), editMhz());
}

void Form6::RefreshSearchListRow(qint64 id) {
  Label13->setText(QStringLiteral("Actualizando ..."));
  Label13->show();
  ListView2->hide();
  Text1->clear();
  Text2->clear();

  const Result<SearchRowUpdate> update = ReadSearchRowUpdate(state().CurrentLogName, id);
  if (update.ok() && update.value.kind == SearchRowUpdate::Kind::Remove) {
    ListModel->remove(id);
  } else if (update.ok() && update.value.kind == SearchRowUpdate::Kind::Rewrite) {
    const int at = ListModel->positionOf(id);
    if (at >= 0) {
      // The item text and the id stay; the rest shows the QSO as stored now.
      QsoListRow row = ListModel->rowAt(at);
      for (int c = kQsoListEstacion; c < QsoListRow::kColumns; ++c) row.cells[c] = update.value.row.cells[c];
      ListModel->rewrite(id, row);
    }
  }
  Label13->hide();
  ListView2->show();
  setListedCount(QString::number(ListModel->count()));
  if (!update.ok()) showError(update.error());
}

// ---- Export --------------------------------------------------------------------------

void Form6::Command1_Click() {
  state().UseCommentAsQslMsg = msgBox(QStringLiteral("Desea usar el campo COMMENT como QSLMSG?"), MsgIcon::Question,
                                      MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes;
  const int n = int(std::min<double>(vbVal(Label6->text()), ListModel->count()));
  if (n <= 0) {
    msgBox(kNoQsos, MsgIcon::Exclamation);
    return;
  }
  FileRequest request;
  request.title = QStringLiteral("Exportar a ADIF ...");
  request.filter = QStringLiteral("ADIF (*.adi)");
  const QString path = dialogs().saveFile(request);
  if (path.isEmpty()) return;
  if (QFileInfo::exists(path) &&
      msgBox(QStringLiteral("El archivo \r\n") + path + QStringLiteral("\r\nya existe!\r\n\r\nsobregraba?"),
             MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
    return;

  // The file in place is replaced only once every record is written: a row that
  // cannot be written leaves it as it was, and the operator is told why. Rows are
  // read from the log as they are written, a block at a time, each as the list
  // shows it. Windows-1252 as always; at the first value that needs more the file
  // starts again in UTF-8.
  const auto writePass = [&](AdifEncoding encoding, bool* needsUtf8) {
    AdifFileWriter writer;  // dropped unfinished, it leaves the file in place untouched
    Status s = writer.create(path, AdifHeader(), encoding);
    if (s)
      s = WriteListedAdifRecords(
          writer, ListModel->ids().data(), n, ListModel->style(),
          [this](qint64 id) { return ListModel->rewrittenRow(id); }, state().UseCommentAsQslMsg, encoding, needsUtf8);
    if (s && !*needsUtf8) s = writer.finish(true);
    return s;
  };
  bool needsUtf8 = false;
  Status s = writePass(AdifEncoding::Windows1252, &needsUtf8);
  if (s && needsUtf8) s = writePass(AdifEncoding::Utf8, &needsUtf8);
  if (!s) {
    showError(s.error);
    return;
  }

  done(QDialog::Accepted);
  if (msgBox(path + QStringLiteral("\r\nGuardado!\r\n\r\nDesea verlo?"), MsgIcon::Exclamation, MsgButtons::YesNo,
             MsgAnswer::No) == MsgAnswer::Yes)
    launcher().openInTextEditor(path);
  form1().ListView2->show();
}

void Form6::Command7_Click() { Frame5->hide(); }

// ---- Window events --------------------------------------------------------------------

void Form6::Form_Activate() {
  state().SearchViewOpening = false;
  Frame5->move(int(120 / kTwipsPerPixel), int(45 / kTwipsPerPixel));
  Frame5->raise();
}

void Form6::Form_QueryUnload() {
  Form1& main = form1();
  main.ListView2->clear();
  LoadLogPage(state().CurrentLogName, 1);
  main.ListView2->show();
}

bool Form6::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Form_Activate();
  return QDialog::event(e);
}

void Form6::closeEvent(QCloseEvent* e) {
  stopUpload();
  Form_QueryUnload();
  unloadRequested_ = true;
  e->accept();
  done(QDialog::Rejected);
}

// Esc does not close the window: only its title bar does.
void Form6::reject() {}

void AppendUploadAnswerLine(quint32 colour, const QString& text) {
  QTextEdit* box = form6().RichTextBox1;
  QTextCursor c = box->textCursor();
  c.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setForeground(QColor(int(colour & 0xff), int((colour >> 8) & 0xff), int((colour >> 16) & 0xff)));
  c.insertText(text, format);
  c.insertBlock();
  box->setTextCursor(c);
}

}  // namespace vz
