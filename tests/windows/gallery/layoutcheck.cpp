// Every window at the screen size the test runs with (ctest runs it at 1366x768 and
// 1920x1080): nothing sticks out of its container, no control is drawn over a
// sibling, texts and captions are not cut, the window fits the screen and opens over
// the main window, and drop-down lists stay short.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSqlQuery>
#include <QTreeView>
#include <QtTest>

#include "app/startup.h"
#include "contest/form4.h"
#include "exchange/form6.h"
#include "exchange/searchlistmodel.h"
#include "platform/database.h"
#include "mainwin/form1.h"
#include "platform/placement.h"
#include "support/windowgallery.h"

using namespace vz;

namespace {

// Controls drawn over one another on purpose: a panel that covers the list while
// it is shown, indicators placed inside the box they belong to.
const QList<QPair<QString, QString>> kMeantToOverlap = {
    {QStringLiteral("Frame4"), QStringLiteral("Frame3")},    // contest: earlier QSOs over the log
    {QStringLiteral("sPorcentaje"), QStringLiteral("sFondo")},  // contest: progress over its track
    {QStringLiteral("Command13"), QStringLiteral("Frame1")},  // main: drawn over the entry strip
};

bool meantToOverlap(const QWidget* a, const QWidget* b) {
  for (const auto& p : kMeantToOverlap)
    if ((a->objectName() == p.first && b->objectName() == p.second) ||
        (a->objectName() == p.second && b->objectName() == p.first))
      return true;
  return false;
}

// The widgets the window's own code placed: visible, not Qt's inner parts of a
// list, a drop-down or a scroll bar.
QList<QWidget*> placedChildren(QWidget* parent) {
  QList<QWidget*> out;
  if (qobject_cast<QAbstractScrollArea*>(parent) || qobject_cast<QComboBox*>(parent)) return out;
  for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isWindow() || !w->isVisible() || w->objectName().startsWith(QLatin1String("qt_"))) continue;
    if (w->inherits("QMenuBar") || w->inherits("QStatusBar")) continue;
    out << w;
  }
  return out;
}

QString nameOf(const QWidget* w) {
  QString n = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
  const QVariant i = w->property("Index");
  if (i.isValid()) n += QStringLiteral("(%1)").arg(i.toInt());
  if (auto* l = qobject_cast<const QLabel*>(w); l && w->objectName().isEmpty()) n += QStringLiteral(" \"%1\"").arg(l->text());
  if (w->objectName().isEmpty())
    n += QStringLiteral(" [%1,%2 %3x%4]").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
  return n;
}

// Single-line texts that must read in full.
QString cutText(const QWidget* w) {
  if (auto* e = qobject_cast<const QLineEdit*>(w)) {
    const QString t = e->displayText();
    if (t.isEmpty()) return {};
    // The inner margins of the box, as QLineEdit keeps them.
    const int room = e->contentsRect().width() - 2 * 2 - e->textMargins().left() - e->textMargins().right() - 4;
    if (e->fontMetrics().horizontalAdvance(t) > room) return t;
  } else if (auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->wordWrap() || l->text().contains(u'\n') || l->textFormat() == Qt::RichText || l->text().isEmpty()) return {};
    // A label that ends a long text in "…" on purpose cuts nothing unseen.
    if (l->property("vzElides").toBool()) return {};
    if (l->fontMetrics().horizontalAdvance(l->text()) > l->contentsRect().width() + 1) return l->text();
  } else if (auto* g = qobject_cast<const QGroupBox*>(w)) {
    if (g->fontMetrics().horizontalAdvance(g->title()) > g->width()) return g->title();
  }
  return {};
}

void checkTree(QWidget* parent, QStringList& problems) {
  const QList<QWidget*> children = placedChildren(parent);
  const QRect inside = parent->rect();
  for (int i = 0; i < children.size(); ++i) {
    QWidget* a = children[i];
    const QRect ra = a->geometry();
    // A control wholly outside its container is kept out of sight on purpose; one
    // partly outside is cut.
    if (inside.intersects(ra) && !inside.adjusted(-1, -1, 1, 1).contains(ra))
      problems << QStringLiteral("%1 sale de %2").arg(nameOf(a), nameOf(parent));
    if (const QString t = cutText(a); !t.isEmpty()) problems << QStringLiteral("%1 corta \"%2\"").arg(nameOf(a), t);
    for (int j = i + 1; j < children.size(); ++j) {
      QWidget* b = children[j];
      const QRect overlap = ra.intersected(b->geometry());
      // Frames drawn edge to edge share a line; that is no overlap.
      if (overlap.width() <= 2 || overlap.height() <= 2 || meantToOverlap(a, b)) continue;
      problems << QStringLiteral("%1 sobre %2").arg(nameOf(a), nameOf(b));
    }
    checkTree(a, problems);
  }
}

}  // namespace

class LayoutCheck : public QObject {
  Q_OBJECT
  std::unique_ptr<test::WindowGallery> gallery_;

 private slots:
  void initTestCase() {
    installWindowPlacement(*qApp);
    gallery_ = std::make_unique<test::WindowGallery>();
    qInfo() << "pantalla" << QGuiApplication::primaryScreen()->geometry().size();
  }
  void cleanupTestCase() { gallery_.reset(); }

  void windowIsTidy_data() {
    QTest::addColumn<QString>("name");
    for (const test::GalleryWindow& w : gallery_->windows()) QTest::newRow(qPrintable(w.name)) << w.name;
  }
  void windowIsTidy() {
    QFETCH(QString, name);
    const auto all = gallery_->windows();
    const auto it = std::find_if(all.begin(), all.end(), [&](const test::GalleryWindow& w) { return w.name == name; });
    QVERIFY(it != all.end());
    QStringList problems;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const bool opened = gallery_->visit(*it, [&](QWidget* w) {
      checkTree(w, problems);
      if (!screen.contains(w->frameGeometry())) problems << QStringLiteral("la ventana sale de la pantalla");
      if (w->windowTitle().size() > 1 && CaptionWidth(w->windowTitle()) > w->width() && !w->isMaximized())
        problems << QStringLiteral("título cortado");
      // The contest window narrowed by unticking "MasterCheck" keeps its left edge.
      const bool narrowed = FormInstance<Form4>::loaded() && w == &form4() && !form4().Check8->isChecked();
      if (w != &form1() && !narrowed) {
        const QPoint centre = form1().frameGeometry().center(), own = w->frameGeometry().center();
        const bool clamped = w->frameGeometry().left() == screen.left() || w->frameGeometry().top() == screen.top();
        if ((centre - own).manhattanLength() > 4 && !clamped && !w->isMaximized())
          problems << QStringLiteral("no está centrada sobre la ventana principal");
      }
      for (QComboBox* c : w->findChildren<QComboBox*>())
        if (c->maxVisibleItems() > kDropDownRows ||
            c->style()->styleHint(QStyle::SH_ComboBox_Popup, nullptr, c))
          problems << QStringLiteral("%1 abre una lista sin límite").arg(nameOf(c));
    });
    QVERIFY(opened);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
  }

  // The search view's frequency column shows a frequency of ten characters whole.
  void theSearchListShowsWholeFrequencies() {
    const auto all = gallery_->windows();
    const auto it = std::find_if(all.begin(), all.end(), [](const test::GalleryWindow& w) { return w.name == "Form6"; });
    QVERIFY(it != all.end());
    // The newest QSO, so it is on the list's first screen.
    QSqlQuery q(db::connection());
    QVERIFY(db::run(q, QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, Estacion, Fecha, Hora, [Nombre Log], Frecuencia) "
                                      "VALUES ('SSB','23cm','LU9FRQ','01/01/2030','10:00:00','Log inicial','1296.20000')")));
    const qint64 id = q.lastInsertId().toLongLong();
    int needed = 0, width = 0;
    const bool opened = gallery_->visit(*it, [&](QWidget*) {
      Form6& f = form6();
      QTest::qWait(50);
      needed = static_cast<QAbstractItemView*>(f.ListView2)->sizeHintForColumn(kQsoListFrec);
      width = f.ListView2->columnWidth(kQsoListFrec);
    });
    QVERIFY(db::run(q, QStringLiteral("DELETE FROM Tabla1 WHERE id=?"), {id}));
    QVERIFY(opened);
    QVERIFY2(needed > 50, qPrintable(QString::number(needed)));  // more than the design width holds
    QVERIFY2(needed <= width, qPrintable(QStringLiteral("%1 > %2").arg(needed).arg(width)));
  }

  // The search view's satellite picture blinks while "Satélite" is ticked; the
  // filter row around it stays where it is.
  void theBlinkingPictureMovesNothing() {
    const auto all = gallery_->windows();
    const auto it = std::find_if(all.begin(), all.end(), [](const test::GalleryWindow& w) { return w.name == "Form6"; });
    QVERIFY(it != all.end());
    QList<QRect> first;
    int changes = 0, blinks = 0;
    const bool opened = gallery_->visit(*it, [&](QWidget*) {
      Form6& f = form6();
      QTest::mouseClick(f.Check1, Qt::LeftButton, {}, QPoint(8, f.Check1->height() / 2));
      QVERIFY(f.Check1->isChecked());
      const QList<QWidget*> row = {f.Check1, f.Text1, f.Text2, f.Text8, f.Image1};
      bool shown = f.Image2->isVisible();
      for (int i = 0; i < 12; ++i) {
        QTest::qWait(100);
        if (f.Image2->isVisible() != shown) {
          shown = !shown;
          ++blinks;
        }
        QList<QRect> now;
        for (QWidget* w : row) now << w->geometry();
        if (first.isEmpty()) first = now;
        else if (now != first) ++changes;
      }
      QTest::mouseClick(f.Check1, Qt::LeftButton, {}, QPoint(8, f.Check1->height() / 2));
    });
    QVERIFY(opened);
    QVERIFY(blinks >= 2);
    QCOMPARE(changes, 0);
  }
};

QTEST_MAIN(LayoutCheck)
#include "layoutcheck.moc"
