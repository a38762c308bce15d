#include "support/windowgallery.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QComboBox>
#include <QLineEdit>

#include <QCheckBox>
#include <QRadioButton>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/form8.h"
#include "contest/form9.h"
#include "mainwin/form1.h"
#include "mainwin/form17.h"
#include "mainwin/form18.h"
#include "online/form33.h"
#include "store/programstate.h"
#include "support/fakeaudio.h"
#include "support/fakeserial.h"
#include "support/logfixture.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

namespace vz::test {

namespace {

const QString kContest = QStringLiteral("CQ WW DX");
// A name as long as the chooser takes many characters of.
const QString kLongContest =
    QStringLiteral("CAMPEONATO NACIONAL DE RADIOAFICIONADOS DE LA REPUBLICA ARGENTINA EN BANDAS DE HF");

// Lets layouts, queued calls and first paints run. No nested wait: it is also used
// from inside a window's modal loop.
void settle(int ms = 120) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
}

void addContestRows() {
  auto add = [](const QString& call, const QString& sent, const QString& received, const QString& time) {
    (void)InsertContestQso(call, QStringLiteral("20m"), QStringLiteral("CW"), sent, received,
                           QStringLiteral("20241130"), time, QStringLiteral("LU1ABC"), kContest, QString(),
                           QStringLiteral("14025"), kContest, kSerialIncremental);
  };
  (void)InsertContestQso({}, {}, {}, {}, {}, {}, {}, {}, kContest, {}, {}, kContest, kSerialIncremental);
  add(QStringLiteral("EA3XYZ"), QStringLiteral("1"), QStringLiteral("15"), QStringLiteral("1201"));
  add(QStringLiteral("PY2AB"), QStringLiteral("2"), QStringLiteral("233"), QStringLiteral("1203"));
  add(QStringLiteral("K1ABC"), QStringLiteral("3"), QStringLiteral("1002"), QStringLiteral("1207"));
  (void)InsertContestQso({}, {}, {}, {}, {}, {}, {}, {}, kLongContest, {}, {}, kLongContest, kSerialFija);
}

// The contest chooser, then the contest opened from its list.
void openContest(const QString& name = kContest) {
  form1().cabro->trigger();
  Form8& chooser = form8();
  QTreeWidget* list = chooser.ListView1;
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->text(1) == name) list->setCurrentItem(list->topLevelItem(i));
  chooser.ListView1_DblClick();
}

class ShowCatcher : public QObject {
 public:
  explicit ShowCatcher(std::function<void(QWidget*)> shown) : shown_(std::move(shown)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (isProgramWindow(w)) shown_(w);
    }
    return false;
  }

 private:
  std::function<void(QWidget*)> shown_;
};

}  // namespace

bool isProgramWindow(const QWidget* w) {
  return w->isWindow() && QLatin1String(w->metaObject()->className()).startsWith(QLatin1String("vz::Form"));
}

struct WindowGallery::Parts {
  TempFolder folder;
  FakeSerialSystem serial;
  FakeAudio audio;
  ScriptedDialogs dialogs;
  RecordingLauncher launcher;
};

WindowGallery::WindowGallery() {
  // No request of the windows leaves the machine.
  for (const char* v : {"VZ_URL_WEB", "VZ_URL_RUK", "VZ_URL_QRZ", "VZ_URL_EQSL", "VZ_URL_HAMQTH"})
    qputenv(v, "http://127.0.0.1:9");
  parts_ = std::make_unique<Parts>();
  parts_->folder.writeLines(QStringLiteral("config.ini"),
                            {QStringLiteral("Estacion=LU1ABC"), QStringLiteral("Operador=LU1ABC"),
                             QStringLiteral("DiferUTC=3"), QStringLiteral("LogenUso=Log inicial"),
                             QStringLiteral("GridLoca=GF05")});
  addGeneratedLog(QStringLiteral("Log inicial"), 45);
  addContestRows();
  state() = ProgramState{};
  Form1& f = form1();
  f.show();
  // The start-up step reads the settings and shows the first page.
  settle(1300);
}

WindowGallery::~WindowGallery() {
  for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
  FormInstance<Form4>::unload();
  FormInstance<Form1>::unload();
}

QList<GalleryWindow> WindowGallery::windows() const {
  Form1* f = &form1();
  auto trigger = [f](QAction* Form1::*action) { return [f, action] { (f->*action)->trigger(); }; };
  QList<GalleryWindow> all = {
      {QStringLiteral("Form1"), [f] { f->showNormal(); }},
      {QStringLiteral("Form1-maximizada"), [f] { f->showMaximized(); }, true},
      {QStringLiteral("Form2"), trigger(&Form1::conf)},
      {QStringLiteral("Form3"), trigger(&Form1::alog)},
      {QStringLiteral("Form5"),
       [f] {
         f->ListView2->setCurrentItem(f->ListView2->topLevelItem(0));
         f->ListView2_DblClick();
       }},
      {QStringLiteral("Form6"), trigger(&Form1::eadif)},
      {QStringLiteral("Form8"), trigger(&Form1::cabro)},
      {QStringLiteral("Form4"), [] { openContest(); }},
      {QStringLiteral("Form4-nombre-largo"), [] { openContest(kLongContest); }},
      {QStringLiteral("Form4-fija-nueva"),
       [] {
         // A "Fija" contest created in the chooser, as the operator creates one.
         form1().cabro->trigger();
         Form8& chooser = form8();
         chooser.Text1->setText(QStringLiteral("FIJA NUEVA"));
         chooser.Option2->setChecked(true);
         chooser.Command1_Click();
       }},

      {QStringLiteral("Form4-duplicado"),
       [] {
         openContest();
         // Typed once the window has settled, as the operator does.
         QTimer::singleShot(500, [] {
           if (FormInstance<Form4>::loaded()) form4().Corresponsal->setText(QStringLiteral("PY2AB"));
         });
       }},
      {QStringLiteral("Form4-fonia"),
       [] {
         openContest();
         QTimer::singleShot(500, [] {
           if (FormInstance<Form4>::loaded()) form4().Combo1->setCurrentText(QStringLiteral("SSB"));
         });
       }},
      {QStringLiteral("Form4-maximizada"),
       [] {
         openContest();
         form4().showMaximized();
       }},
      {QStringLiteral("Form4-sin-mastercheck"),
       [] {
         openContest();
         form4().showNormal();
         QTimer::singleShot(500, [] {
           if (FormInstance<Form4>::loaded()) form4().Check8->setChecked(false);
         });
       }},
      {QStringLiteral("Form7"), [] { EditLastContestQso(kContest, kSerialIncremental); }},
      {QStringLiteral("Form9"),
       [] {
         ShowCabrilloHeader(kContest, QStringLiteral("QSO: 14025 CW 2024-11-30 1201 LU1ABC 599 1 EA3XYZ 599 15\r\n"),
                            2, QStringLiteral("LU1ABC"));
       }},
      {QStringLiteral("Form9-nombre-largo"),
       [] {
         ShowCabrilloHeader(kLongContest, QStringLiteral("QSO: 14025 CW 2024-11-30 1201 LU1ABC 599 BA EA3XYZ 599 CD\r\n"),
                            1, QStringLiteral("LU1ABC"));
       }},
      {QStringLiteral("Form10"), trigger(&Form1::acerca)},
      {QStringLiteral("Form11"), [f] { f->Command1_Click(); }},
      {QStringLiteral("Form12"), trigger(&Form1::iadif)},
      {QStringLiteral("Form13"), trigger(&Form1::anacal)},
      {QStringLiteral("Form14"), trigger(&Form1::parg)},
      {QStringLiteral("Form15"), trigger(&Form1::badif)},
      {QStringLiteral("Form16"), [f] { f->ppeerr_Click(); }},
      {QStringLiteral("Form17"), [] { ShowWorkedBefore(generatedCall(3)); }},
      {QStringLiteral("Form18"), [] { form18().show(); }},
      {QStringLiteral("Form33"),
       [] {
         ShowQrzLookupResult(QStringLiteral("EA3XYZ\r\nJuan Pérez\r\nCalle Mayor 1\r\n08001 Barcelona\r\nEspaña"));
       }},
  };
  return all;
}

bool WindowGallery::visit(const GalleryWindow& window, const std::function<void(QWidget*)>& look) {
  Form1& main = form1();
  if (window.name == QLatin1String("Form1") || window.name.startsWith(QLatin1String("Form1-"))) {
    window.open();
    settle(300);
    look(&main);
    main.showNormal();
    settle();
    return true;
  }
  if (window.maximised) main.showMaximized();
  QSet<QWidget*> before;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) before.insert(w);
  // The window is caught as it is shown and looked at from a queued call, which runs
  // in whatever loop comes next: its own modal one or, for a window shown without
  // waiting, the one below. The call may outlive this step: it shares its state.
  struct Catch {
    bool caught = false;
    bool over = false;
    QPointer<QWidget> target;
    std::function<void(QWidget*)> look;
  };
  auto c = std::make_shared<Catch>();
  c->look = look;
  auto lookAt = [c] {
    if (c->over || c->caught || !c->target || !c->target->isVisible()) return;
    c->caught = true;
    settle(700);  // the contest window shows its mode's panel after half a second
    c->look(c->target);
    c->target->hide();
  };
  ShowCatcher catcher([&](QWidget* w) {
    if ((c->target && c->target->isVisible()) || before.contains(w) || w == &main) return;
    c->target = w;
    QMetaObject::invokeMethod(qApp, lookAt, Qt::QueuedConnection);
  });
  qApp->installEventFilter(&catcher);
  window.open();
  settle();
  qApp->removeEventFilter(&catcher);
  if (!c->caught && c->target) lookAt();
  c->over = true;
  const bool caught = c->caught;
  settle();
  parts_->dialogs.clear();
  return caught;
}

}  // namespace vz::test
