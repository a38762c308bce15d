#include "online/form14.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtMath>

#include "exchange/searchlistmodel.h"
#include "mainwin/qsolist.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/services.h"
#include "platform/webget.h"
#include "platform/steprunning.h"
#include "setup/form2.h"
#include "store/callsign.h"
#include "store/programstate.h"

namespace vz {

namespace {

int px(int twips) { return twips / 15; }
QRect twipRect(int l, int t, int w, int h) { return {px(l), px(t), px(w), px(h)}; }

QFont tahoma(double pt, bool bold = true) {
  QFont f(QStringLiteral("Tahoma"));
  f.setPointSizeF(pt);
  f.setBold(bold);
  return f;
}

QPixmap tickPixmap(int size) {
  QPixmap p(size, size);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(QColor(0, 160, 0), size / 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  g.drawPolyline(QPolygonF{QPointF(size * 0.15, size * 0.55), QPointF(size * 0.4, size * 0.8),
                           QPointF(size * 0.85, size * 0.2)});
  return p;
}

QPixmap starPixmap(int size) {
  QPixmap p(size, size);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double r = (i % 2 == 0 ? 0.48 : 0.2) * size;
    const double a = -M_PI / 2 + i * M_PI / 5;
    const QPointF pt(size / 2.0 + r * std::cos(a), size / 2.0 + r * std::sin(a));
    i == 0 ? star.moveTo(pt) : star.lineTo(pt);
  }
  star.closeSubpath();
  g.setPen(QColor(160, 120, 0));
  g.setBrush(QColor(255, 210, 0));
  g.drawPath(star);
  return p;
}

QPixmap arrowPixmap(int size) {
  QPixmap p(size, size);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  g.setBrush(QColor(0, 0, 192));
  g.drawPolygon(QPolygonF{QPointF(size * 0.5, size * 0.1), QPointF(size * 0.9, size * 0.5), QPointF(size * 0.65, size * 0.5),
                          QPointF(size * 0.65, size * 0.9), QPointF(size * 0.35, size * 0.9),
                          QPointF(size * 0.35, size * 0.5), QPointF(size * 0.1, size * 0.5)});
  return p;
}

// The small icons of the grid, by number: 1 and 2 the tick, 3 the star.
QIcon gridIcon(int number) { return QIcon(number >= 3 ? starPixmap(16) : tickPixmap(16)); }

const QString kItemText = QStringLiteral("nombre1");

// Column widths in twips after "Indice", "ID" and "Provincia".
int bandColumnTwips(int c) { return c == 0 ? 700 : c >= 10 ? 500 : 600; }

}  // namespace

Form14::Form14() : membersPage_(new WebGet(this)) {
  setWindowTitle(QStringLiteral("Argentina en Ruk"));
  setFixedSize(px(13215), px(8730));
  setFont(tahoma(9.75));

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(twipRect(360, 120, 3135, 375));
  ProgressBar1->setTextVisible(false);

  auto legend = [this](QLabel*& image, int i, const QPixmap& pic, int left, const QString& text) {
    image = new QLabel(this);
    image->setPixmap(pic);
    image->setGeometry(twipRect(left, 240, 240, 240));
    Label1[i] = new QLabel(text, this);
    Label1[i]->setGeometry(twipRect(left + 240, 240, 2500, 240));
  };
  legend(Image2, 1, arrowPixmap(16), 3840, QStringLiteral(" Subido (aún no Confirmado)"));
  legend(Image1, 0, tickPixmap(16), 7080, QStringLiteral("Trabajado"));
  legend(Image3, 2, starPixmap(16), 8520, QStringLiteral("Confirmado"));
  Image2->hide();
  Label1[1]->hide();
  // Up to the next legend's picture, not over it.
  Label1[0]->setGeometry(twipRect(7320, 240, 1140, 240));

  Command1 = new QPushButton(QStringLiteral("Miembros"), this);
  Command1->setGeometry(twipRect(10680, 240, 2415, 375));
  Command1->hide();

  Image4 = new QLabel(this);
  Image4->setGeometry(twipRect(11040, 600, 1545, 1545));
  Image4->setAlignment(Qt::AlignCenter);
  Image4->setText(QStringLiteral("Ruk"));
  Image4->setFont(tahoma(20));
  Image4->setStyleSheet(QStringLiteral("color: #0000C0; border: 1px solid #808080;"));
  Image4->setToolTip(QStringLiteral("Ir a la web (doble clic)"));
  Image4->installEventFilter(this);

  Frame1 = new QGroupBox(this);
  Frame1->setGeometry(twipRect(240, 480, 10335, 7575));
  Frame1->setFont(tahoma(12));
  ListView2 = new QTreeWidget(Frame1);
  ListView2->setGeometry(twipRect(120, 360, 9975, 7095));
  ListView2->setFont(tahoma(9.75));
  ListView2->setRootIsDecorated(false);
  ListView2->setIconSize(QSize(16, 16));
  ListView2->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView2->header()->setSectionsClickable(true);
  ListView2->header()->setStretchLastSection(false);
  connect(ListView2->header(), &QHeaderView::sectionClicked, this,
          [this](int logical) { ListView2_ColumnClick(logical + 1); });

  // The members frame, placed so that its list and close button can be seen.
  Frame5 = new QGroupBox(QStringLiteral("Miembros de Ruk"), Frame1);
  Frame5->setGeometry(twipRect(1200, 1800, 8535, 5055));
  Frame5->setFont(tahoma(9.75));
  Frame5->setStyleSheet(QStringLiteral("QGroupBox { color: #0000C0; }"));
  List3 = new QListWidget(Frame5);
  List3->setGeometry(twipRect(120, 360, 8295, 4005));
  Command2 = new QPushButton(QStringLiteral("Cerrar"), Frame5);
  Command2->setGeometry(twipRect(7320, 4500, 1095, 375));
  ListView1 = new QTreeView(Frame5);
  ListView1->setGeometry(twipRect(120, 3240, 1695, 1815));
  ListView1->hide();
  // The input list is never seen, so no view lays its rows out: a view over a
  // province list of a million-QSO log would take a tenth of a second to do it on the
  // first turn of the event loop after the list is filled.
  InputModel = new SearchListModel(this);
  Frame5->hide();

  Frame4 = new QGroupBox(QStringLiteral("Grillas"), this);
  Frame4->setGeometry(twipRect(10680, 3120, 2415, 4935));
  auto squares = [this](QGroupBox*& frame, QListWidget*& list, const QString& caption, int top, const char* colour) {
    frame = new QGroupBox(caption, Frame4);
    frame->setGeometry(twipRect(240, top, 1935, 2175));
    list = new QListWidget(frame);
    list->setGeometry(twipRect(360, 360, 1215, 1740));
    list->setFont(tahoma(9.75));
    list->setStyleSheet(QStringLiteral("QListWidget { background: #E0E0E0; color: %1; }").arg(QLatin1String(colour)));
  };
  squares(Frame2, List1, QStringLiteral("Confirmadas"), 360, "#008000");
  squares(Frame3, List2, QStringLiteral("Trabajadas"), 2640, "#800000");

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

Form14::~Form14() = default;

bool Form14::event(QEvent* e) {
  // Coming back from another program is no new showing: the grid, and the order
  // the operator sorted it in, stay as they are.
  if (e->type() == QEvent::WindowDeactivate) leftTheProgram_ = QApplication::activeWindow() == nullptr;
  if (e->type() == QEvent::WindowActivate) {
    const bool back = leftTheProgram_;
    leftTheProgram_ = false;
    if (!back) Form_Activate();
  }
  return QDialog::event(e);
}

void Form14::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(e);
}

bool Form14::eventFilter(QObject* watched, QEvent* e) {
  if (watched == Image4 && e->type() == QEvent::MouseButtonDblClick) {
    Image4_DblClick();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void Form14::prepareGrid() {
  ListView2->clear();
  QStringList headings{QStringLiteral("Indice"), QStringLiteral("ID"), QStringLiteral("Provincia")};
  headings << awardColumnLabels();
  ListView2->setColumnCount(int(headings.size()));
  ListView2->setHeaderLabels(headings);
  ListView2->setColumnHidden(0, true);
  ListView2->setColumnHidden(1, true);
  ListView2->setColumnWidth(2, px(2790));  // the summary row "Confirmados/Trabajados" reads whole
  for (int c = 0; c < kAwardColumns; ++c) {
    ListView2->setColumnWidth(3 + c, px(bandColumnTwips(c)));
    ListView2->headerItem()->setTextAlignment(3 + c, Qt::AlignCenter);
  }
}

void Form14::addProvinceRows(const AwardGrid& grid, bool coloured) {
  const QStringList& names = provinceNames();
  for (int p = 0; p < kAwardProvinces; ++p) {
    auto* item = new QTreeWidgetItem(ListView2);
    item->setText(0, kItemText);
    item->setText(2, names[p]);
    item->setForeground(2, QColor::fromRgb(coloured ? AwardProvinceColour(grid.cells[p]) : 0x000000));
    for (int c = 0; c < kAwardColumns; ++c) {
      item->setTextAlignment(3 + c, Qt::AlignCenter);
      if (grid.cells[p][c] != kAwardEmpty) item->setIcon(3 + c, gridIcon(grid.cells[p][c] + 1));
    }
  }
}

void Form14::Form_Activate() {
  if (matrixShown_) return;
  // An activation during one of the build's yields (the operator back from another
  // window) leaves the build that runs to finish: a second one would clear the grid
  // under it. The step also keeps the window from being deleted while it yields.
  StepRunning step(this, "grid");
  if (!step.started()) return;
  const bool shown = isVisible();
  Frame4->hide();
  List1->clear();
  List2->clear();
  ProgressBar1->show();
  prepareGrid();
  ProgressBar1->setMaximum(26);
  ProgressBar1->setValue(0);

  // The input list may hold fewer rows than the count says when another list was
  // counted since it was filled: only rows that exist are read.
  const int n = std::min(state().ListedQsoCount, InputModel->count());
  // Tallied as the rows are read: the list is never held whole. A long list is read
  // in steps, the bar moving towards 25 of its 26 and the event loop turning after
  // each, so the window answers (and can be closed) while a large log is tallied. A
  // step also ends early when its rows come slowly (a busy disk or machine).
  AwardTally tally(AwardTally::Kind::Grid);
  QElapsedTimer sinceTurn;
  sinceTurn.start();
  for (int i = 0; i < n; ++i) {
    tally.add(AwardQsoFromRow(InputModel->rowAt(i)));
    if (i + 1 == n || ((i + 1) % kRowsPerStep != 0 && sinceTurn.elapsed() < kStepMs)) continue;
    ProgressBar1->setValue(int(qint64(25) * (i + 1) / n));
    QApplication::processEvents();
    // Closed meanwhile: the build stops there; the window goes once it has returned.
    if (!step.alive() || (shown && !isVisible())) return;
    sinceTurn.restart();
  }
  const AwardGrid grid = tally.grid();
  ProgressBar1->setValue(25);

  addProvinceRows(grid, true);
  auto* summary = new QTreeWidgetItem(ListView2);
  summary->setText(0, kItemText);
  summary->setText(2, QStringLiteral("Confirmados/Trabajados"));
  for (int c = 0; c < kAwardColumns; ++c) {
    summary->setText(3 + c, AwardSummaryText(grid, c));
    summary->setTextAlignment(3 + c, Qt::AlignCenter);
  }

  List1->addItems(grid.confirmedSquares);
  List2->addItems(grid.workedSquares);
  Frame2->setTitle(QStringLiteral("Confirmadas (%1)").arg(List1->count()));
  Frame3->setTitle(QStringLiteral("Trabajadas (%1)").arg(List2->count()));

  Frame4->show();
  ListView2->show();
  ProgressBar1->hide();
}

void Form14::ShowMatrix(const AwardGrid& grid) {
  matrixShown_ = true;
  prepareGrid();
  addProvinceRows(grid, false);
  ListView2->show();
}

void Form14::ListView2_ColumnClick(int headingPosition) {
  SortKey = headingPosition - 1;
  if (SortKey == 1) SortKey = 3;  // the hidden "ID" column sorts by "160m"
  SortOrder = SortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  ListView2->sortItems(SortKey, SortOrder);
}

void Form14::Image4_DblClick() { launcher().openUrl(serviceBase(Service::Ruk)); }

void Form14::Command1_Click() {
  StepRunning step(this, "members");
  if (!step.started()) return;
  Command1->setEnabled(false);
  Frame5->show();
  state().NetTimeoutTicks = 0;
  QApplication::processEvents();
  const QUrl url = serviceUrl(Service::Ruk, QStringLiteral("/php/vantorel55.php"), ServiceQuery(), true);
  const Form2::PageWait wait = form2().WaitForPage(*membersPage_, url);
  if (wait == Form2::PageWait::TimedOut) {
    msgBox(noConnectionText(), MsgIcon::Exclamation);
    return;
  }
  const std::optional<QString> line =
      wait == Form2::PageWait::Loaded ? MembersLine(membersPage_->innerText()) : std::nullopt;
  if (!line) {
    msgBox(QStringLiteral("No se pudo leer la lista de miembros de Ruk."), MsgIcon::Exclamation);
    return;
  }
  List3->addItem(*line);
  List3->setCurrentRow(List3->count() - 1);
}

void Form14::Command2_Click() {
  Command1->setEnabled(true);
  Frame5->hide();
}

void ShowProvincesAward() {
  Form14& f = form14();
  f.exec();
  // However it was closed, the next showing starts from a fresh window: the input
  // list and any matrix belong to this showing only.
  FormInstance<Form14>::unload();
}

}  // namespace vz
