// The award window as the operator reaches it: "Provincias Argentinas" in the File
// menu, the grid of provinces worked, a heading clicked to sort, the service's logo
// double-clicked.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

#include "mainwin/form1.h"
#include "online/form14.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/recordinglauncher.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstRoadForm14 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    test::addQso("Diario", "LU4HAA", "01/03/2024", "12:00:00", {.ruk = "2", .province = QString::fromUtf8("Córdoba")});
    test::addQso("Diario", "LU8QBB", "02/03/2024", "12:00:00", {.band = "20m", .province = "Salta"});
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form14>::unload();
    FormInstance<Form1>::unload();
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void provincesFromTheMenu() {
    QStringList worked, firstAfterSort;
    bool stillOpenAfterEsc = false;
    QVERIFY(test::whileModal([] { form1().parg->trigger(); },
                             [&](QWidget* modal) {
                               Form14& f = form14();
                               QCOMPARE(modal, static_cast<QWidget*>(&f));
                               QTRY_VERIFY(f.ListView2->topLevelItemCount() > 0);
                               for (int i = 0; i < f.ListView2->topLevelItemCount(); ++i) {
                                 QTreeWidgetItem* row = f.ListView2->topLevelItem(i);
                                 for (int c = 3; c < f.ListView2->columnCount(); ++c)
                                   if (!row->icon(c).isNull())
                                     worked << row->text(2) + ' ' + f.ListView2->headerItem()->text(c);
                               }
                               test::clickHeading(f.ListView2->header(), 2);  // "Provincia"
                               firstAfterSort << f.ListView2->topLevelItem(0)->text(2);
                               QTest::mouseDClick(f.Image4, Qt::LeftButton);
                               // The window has no keys: Esc leaves it open, its title bar closes it.
                               QTest::keyClick(f.ListView2, Qt::Key_Escape);
                               stillOpenAfterEsc = f.isVisible();
                               modal->close();
                             }));
    QCOMPARE(worked, (QStringList{QString::fromUtf8("Córdoba 40m"), "Salta 20m"}));
    QCOMPARE(firstAfterSort, QStringList{QString::fromUtf8("Tucumán")});
    QVERIFY(stillOpenAfterEsc);
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].kind, test::RecordingLauncher::Kind::Url);
  }
};

QTEST_MAIN(TstRoadForm14)
#include "tst_road_form14.moc"
