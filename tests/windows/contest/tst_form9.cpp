#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "contest/form9.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using namespace vz::test;

namespace {

const QString kSection = QStringLiteral(
    "QSO:  3500 CW 2024-03-15 0905 LU9ZZ         599 15     LU1AA         599 023   \r\nEND-OF-LOG:");

void whileShown(std::function<void(Form9&)> work) {
  QTimer::singleShot(0, [work] {
    QTRY_VERIFY(form9().isVisible());
    work(form9());
    if (FormInstance<Form9>::loaded() && form9().isVisible()) form9().hide();
  });
}

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class TestForm9 : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    folder = new TempFolder(false);
    dialogs = new ScriptedDialogs;
  }
  void cleanup() {
    FormInstance<Form9>::unload();
    delete dialogs;
    delete folder;
  }

  void showingFillsTheWindowAndCabrilloWritesTheLog() {
    folder->writeLines("datos.cbr", {"Ana", "Calle 2"});
    const QString path = folder->file("rally");
    dialogs->files << path;
    whileShown([&](Form9& f) {
      QCOMPARE(f.windowTitle(), QString("Encabezado de Rally con 1 QSO(s)"));
      QCOMPARE(f.Text1->text(), QString("LU9ZZ"));
      QCOMPARE(f.Text3->text(), QString("Rally"));
      QCOMPARE(f.Text2->text(), QString("Ana"));
      QCOMPARE(f.Text4->text(), QString("Calle 2"));
      QCOMPARE(f.Text5->text(), QString());
      QCOMPARE(f.Combo1->currentText(), QString("SINGLE-OP"));
      QCOMPARE(f.Combo2->currentText(), QString("LOW"));
      QCOMPARE(f.Combo3->currentText(), QString("ALL"));
      QCOMPARE(f.Combo4->currentText(), QString("MIXED"));
      QVERIFY(!f.Text9->isEnabled());
      f.Combo1->setCurrentText("MULTI-OP");
      QVERIFY(f.Text9->isEnabled());
      f.Text9->setText("LU9ZZ LU1AA");
      f.Combo1->setCurrentText("CHECKLOG");
      QVERIFY(!f.Text9->isEnabled());
      f.Command1->click();
      QVERIFY(!f.isVisible());
    });
    ShowCabrilloHeader("Rally", kSection, 1, "LU9ZZ");

    const QByteArray file = bytesOf(path);
    QVERIFY(file.contains("\r\nCATEGORY-OPERATOR: CHECKLOG\r\n"));
    QVERIFY(file.contains("\r\nOPERATORS: LU9ZZ LU1AA\r\n"));
    QVERIFY(file.contains("\r\nNAME: Ana\r\nADDRESS: Calle 2\r\nADDRESS: \r\nADDRESS: \r\nEMAIL: \r\n"));
    QVERIFY(file.endsWith("CREATED-BY: VT ZEZEROR 2.1.21\r\n" + kSection.toLatin1() + "\r\n"));

    // Hidden, not unloaded: the next showing resets the categories and keeps the operators.
    whileShown([](Form9& f) {
      QCOMPARE(f.Combo1->currentText(), QString("SINGLE-OP"));
      QCOMPARE(f.Text9->text(), QString("LU9ZZ LU1AA"));
    });
    ShowCabrilloHeader("Rally", kSection, 1, "LU9ZZ");
  }

  void missingNameKeepsTheWindowOpen() {
    whileShown([&](Form9& f) {
      f.Text2->clear();
      f.Command1->click();
      QVERIFY(f.isVisible());
      QCOMPARE(dialogs->lastText(), QString("Falta su Nombre!"));
    });
    ShowCabrilloHeader("Rally", kSection, 1, "LU9ZZ");
    QVERIFY(folder->exists("datos.cbr"));
  }

  void escapeKeepsTheWindowAndWhatWasTyped() {
    whileShown([&](Form9& f) {
      f.Combo1->setCurrentText("MULTI-OP");
      f.Text9->setText("LU9ZZ LU1AA");
      f.Text2->setText("Ana");
      for (QWidget* w : {static_cast<QWidget*>(f.Text9), static_cast<QWidget*>(f.Text2)}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(f.isVisible());
      }
      QCOMPARE(f.Text9->text(), QString("LU9ZZ LU1AA"));
      QCOMPARE(f.Text2->text(), QString("Ana"));
    });
    ShowCabrilloHeader("Rally", kSection, 1, "LU9ZZ");
    QVERIFY(FormInstance<Form9>::loaded());
  }

  void ownCallKeysAreUpperCasedAndFiltered() {
    Form9& f = form9();
    f.show();
    f.Text1->clear();
    f.Text1->setFocus();
    QTest::keyClicks(f.Text1, "lu1/p-x ?");
    QCOMPARE(f.Text1->text(), QString("LU1/PX?"));
  }

 private:
  TempFolder* folder = nullptr;
  ScriptedDialogs* dialogs = nullptr;
  RecordingLauncher launcher;
};

QTEST_MAIN(TestForm9)
#include "tst_form9.moc"
