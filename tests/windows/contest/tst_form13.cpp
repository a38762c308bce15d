#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form13.h"
#include "platform/database.h"
#include "store/callsign.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using namespace vz::test;

namespace {

void addContest(const QString& name, const QString& type) {
  InsertContestQso("", "", "", "", "", "", "", "", name, "", "", name, type);
}

void addQso(const QString& contest, const QString& mode, const QString& call, const QString& time,
            const QString& received, const QString& band = "20m") {
  InsertContestQso(call, band, mode, "1", received, "20240315", time, "LU9HZZ", contest, "", "14025", contest,
                   kSerialIncremental);
}

QStringList items(const QListWidget* l) {
  QStringList out;
  for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
  return out;
}

}  // namespace

class TestForm13 : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    folder = new TempFolder;
    dialogs = new ScriptedDialogs;
    QVERIFY(LoadPrefixTable(sourceFile("data/dxcc.txt")));
  }
  void cleanup() {
    FormInstance<Form13>::unload();
    prefixTable().clear();
    delete dialogs;
    delete folder;
  }

  void listsContestsWithQsosOnceEachActivation() {
    addContest("Rally", kSerialIncremental);
    addQso("Rally", "CW", "LU1AA", "1200", "5");
    addContest("Vacio", kSerialFija);
    Form13& f = form13();
    f.Form_Activate();
    f.Form_Activate();
    QCOMPARE(f.ListView1->topLevelItemCount(), 1);
    const QTreeWidgetItem* row = f.ListView1->topLevelItem(0);
    QCOMPARE(row->text(0), QString("nombre2"));
    QCOMPARE(row->text(1), QString("Rally"));
    QCOMPARE(row->text(2), kSerialIncremental);
    QCOMPARE(row->text(3), QString("1"));
  }

  // The error box takes the activation away and gives it back when it closes, either
  // while it is still open or once it has returned: the failure is shown once, and
  // again only on a new activation by the operator.
  void aFailedListIsShownOncePerActivation_data() {
    QTest::addColumn<bool>("backWhileOpen");
    QTest::newRow("activation back while the box closes") << true;
    QTest::newRow("activation back after the box") << false;
  }
  void aFailedListIsShownOncePerActivation() {
    QFETCH(bool, backWhileOpen);
    Form13& f = form13();
    QVERIFY(db::exec(QStringLiteral("DROP TABLE Tabla2")));
    int handedBack = 0;
    dialogs->whileOpen = [&](const MessageRequest&) {
      if (++handedBack > 5) return;  // a loop shows here as more than one message
      QEvent out(QEvent::WindowDeactivate);
      QCoreApplication::sendEvent(&f, &out);
      if (backWhileOpen) {
        QEvent in(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&f, &in);
      } else {
        QCoreApplication::postEvent(&f, new QEvent(QEvent::WindowActivate));
      }
    };
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&f, &activate);
    QCoreApplication::processEvents();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->lastText().startsWith("No se pudo leer la lista de concursos:\r\n"));
    QVERIFY(dialogs->lastText().contains("Tabla2"));
    QCOMPARE(dialogs->messages[0].icon, MsgIcon::Critical);

    // The operator goes to another window and comes back: told again, once.
    QEvent out(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&f, &out);
    QCoreApplication::sendEvent(&f, &activate);
    QCoreApplication::processEvents();
    QCOMPARE(dialogs->messages.size(), 2);
  }

  void analysisFillsTheValues() {
    addContest("Rally", kSerialIncremental);
    addQso("Rally", "CW", "LU1AA", "1200", "5");
    addQso("Rally", "CW", "LU1AA", "1230", "7", "40m");
    addQso("Rally", "CW", "LU2BB", "1300", "5");
    addQso("Rally", "SSB", "LU3CC", "1310", "9");
    Form13& f = form13();
    f.Option2->setChecked(true);
    f.Form_Activate();
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1_DblClick();

    QCOMPARE(f.Label13->text(), QString("LU9HZZ"));
    QCOMPARE(f.Label3->text(), QString("3"));
    QCOMPARE(f.Label4->text(), QString("60 min."));
    QCOMPARE(f.Label5->text(), QString("3 QSOs/h."));
    QCOMPARE(f.Label11->text(), QString("1"));
    QCOMPARE(f.Label6->text(), QString("2"));
    QCOMPARE(items(f.List1), (QStringList{"5", "7"}));
    QCOMPARE(f.Label10->text(), QString("1"));
    QCOMPARE(f.Label9->text(), QString());  // a single phone QSO has no time
    QCOMPARE(f.Label8->text(), QString());
    QCOMPARE(f.Label12->text(), QString());
    QCOMPARE(f.Label7->text(), QString("1"));
    QCOMPARE(items(f.List3), QStringList{"9"});
    QCOMPARE(f.ProgressBar1->value(), 100);

    // Esc only hides: the results stay.
    f.show();
    QTest::keyClick(&f, Qt::Key_Escape);
    QVERIFY(!f.isVisible());
    QVERIFY(FormInstance<Form13>::loaded());
    QCOMPARE(f.Label3->text(), QString("3"));
  }

  void cwOnlyLeavesThePhoneCountEmpty() {
    addContest("Rally", kSerialIncremental);
    addQso("Rally", "CW", "LU1AA", "1200", "5");
    Form13& f = form13();
    f.Form_Activate();
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1_DblClick();
    QCOMPARE(f.Label3->text(), QString("1"));
    QCOMPARE(f.Label4->text(), QString());
    QCOMPARE(f.Label10->text(), QString());
  }

  void doubleClickWithoutSelectionDoesNothing() {
    Form13& f = form13();
    f.Form_Activate();
    f.ListView1_DblClick();
    QCOMPARE(f.Label3->text(), QString("0"));
    QCOMPARE(f.ProgressBar1->value(), 0);
  }

 private:
  TempFolder* folder = nullptr;
  ScriptedDialogs* dialogs = nullptr;
};

QTEST_MAIN(TestForm13)
#include "tst_form13.moc"
