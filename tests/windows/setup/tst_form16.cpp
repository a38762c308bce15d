#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "setup/form16.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstForm16 : public QObject {
  Q_OBJECT

  // Shows the dialog the way the menu does (each showing activates it) and gives it back.
  Form16& open() {
    Form16& f = form16();
    f.show();
    return f;
  }

 private slots:
  void cleanup() { FormInstance<Form16>::unload(); }

  void withoutTheFileEveryRowCanBeCreated() {
    test::TempFolder folder(false);
    Form16& f = open();
    QCOMPARE(f.windowTitle(), QStringLiteral("Perfiles"));
    for (int i = 0; i < 3; ++i) QCOMPARE(f.Perfil1[i]->text(), QString());
    for (QPushButton* b : {f.Crear1, f.Crear2, f.Crear3}) QVERIFY(b->isEnabled());
    for (QPushButton* b : {f.Cargar1, f.Cargar2, f.Cargar3}) QVERIFY(!b->isEnabled());
  }

  void anyCreateStoresAllThreeUpperCased() {
    test::TempFolder folder(false);
    Form16& f = open();
    f.Perfil1[0]->setText(QString::fromUtf8("concurso ñ"));
    f.Perfil1[2]->setText(QStringLiteral("dx"));
    QTest::mouseClick(f.Crear2, Qt::LeftButton);
    QCOMPARE(folder.readLines("Perfiles.cfg"),
             QStringList({QString::fromUtf8("Perfil1=CONCURSO Ñ"), "Perfil2=", "Perfil3=DX"}));
    // The boxes keep what was typed until the next showing.
    QCOMPARE(f.Perfil1[0]->text(), QString::fromUtf8("concurso ñ"));
    QVERIFY(f.Crear1->isEnabled());

    f.hide();
    f.show();
    QCOMPARE(f.Perfil1[0]->text(), QString::fromUtf8("CONCURSO Ñ"));
    QVERIFY(!f.Crear1->isEnabled() && f.Cargar1->isEnabled());
    QVERIFY(f.Crear2->isEnabled() && !f.Cargar2->isEnabled());
    QVERIFY(!f.Crear3->isEnabled() && f.Cargar3->isEnabled());
    QTest::mouseClick(f.Cargar1, Qt::LeftButton);  // does nothing
    QCOMPARE(folder.readLines("Perfiles.cfg").size(), 3);
  }

  void profileNamesTakeOnlyWhatTheFileCanHold() {
    test::TempFolder folder(false);
    Form16& f = open();
    for (int i = 0; i < 3; ++i) {
      QGuiApplication::clipboard()->setText(QString::fromUtf8("Łódź ñ"));
      f.Perfil1[i]->paste();
      QCOMPARE(f.Perfil1[i]->text(), QString::fromUtf8("ód ñ"));
    }
  }

  void readingTakesTheKeyOutWhereverItIsAndTheLastLineWins() {
    test::TempFolder folder(false);
    folder.writeLines("Perfiles.cfg", {"Perfil2=UNO", "xPerfil1=A", "Perfil2=DOS Perfil2=", "otra"});
    Form16& f = open();
    QCOMPARE(f.Perfil1[0]->text(), QStringLiteral("xA"));
    QCOMPARE(f.Perfil1[1]->text(), QStringLiteral("DOS "));
    QCOMPARE(f.Perfil1[2]->text(), QString());
  }

  void closingUnloadsIt() {
    test::TempFolder folder(false);
    Form16& f = open();
    f.Perfil1[0]->setText(QStringLiteral("sin guardar"));
    f.close();
    QTRY_VERIFY(!FormInstance<Form16>::loaded());
    QCOMPARE(open().Perfil1[0]->text(), QString());
  }
};

QTEST_MAIN(TstForm16)
#include "tst_form16.moc"
