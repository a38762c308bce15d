// Satellite mode of the entry strip: ticking and unticking "Vía Satélite", choosing
// a satellite, the editor and the pass-prediction page.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QtTest>

#include "mainwin/form1.h"
#include "setup/form11.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstSatelliteMode : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;

  // The window after its load and after the clock's first tick.
  Form1& ready() {
    Form1& f = form1();
    for (QTimer* t : f.findChildren<QTimer*>()) t->stop();
    state().MainFormReady = true;
    return f;
  }
  static void choose(Form1& f, const QString& name) {
    const int i = f.Combo3->findText(name);
    QVERIFY2(i >= 0, qPrintable(name));
    f.Combo3->setCurrentIndex(i);
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    state() = ProgramState{};
    folder->writeLines("satelites.txt",
                       {"AO-7;70cm;2m;SSB;100.4", "SO-50;2m;70cm;FM;67.0", "RS-44;2m;70cm;SSB; ;145.965",
                        "ISS;2m;2m;FM; ;145.990", "SO-50;70cm;2m;SSB;88.5;435.100", "QO-100;23cm;70cm;SSB; ;1267.100",
                        "XX-23;23cm;70cm;FM;67.0", "sin puntos y coma", "LILACSAT-2;2m;70cm;SSB;"});
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form11>::unload();
    FormInstance<Form1>::unload();
    Form11::setSatelliteFileChanged(nullptr);
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void choosingFillsPanelFrequencyAndMode_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("subida");
    QTest::addColumn<QString>("subtono");
    QTest::addColumn<QString>("mhz");
    QTest::addColumn<QString>("khz");
    QTest::addColumn<QString>("mode");
    // Five fields: the band's default uplink.
    QTest::newRow("70cm default") << "AO-7" << "Subida: 70cm " << "SubTono: 100.4" << "435" << "550" << "SSB";
    QTest::newRow("2m default") << "SO-50" << "Subida: 2m " << "SubTono: 67.0" << "145" << "550" << "FM";
    QTest::newRow("empty sub-tone") << "LILACSAT-2" << "Subida: 2m " << "SubTono: " << "145" << "550" << "SSB";
    // Six fields: the uplink frequency itself.
    QTest::newRow("2m frequency") << "RS-44" << "Subida: 2m 145.965" << "SubTono:  " << "145" << "965" << "SSB";
    QTest::newRow("23cm frequency") << "QO-100" << "Subida: 23cm 1267.100" << "SubTono:  " << "1267" << "100"
                                    << "SSB";
  }
  void choosingFillsPanelFrequencyAndMode() {
    QFETCH(QString, name);
    Form1& f = ready();
    choose(f, name);
    QTEST(f.Subida->text(), "subida");
    QTEST(f.Subtono->text(), "subtono");
    QTEST(f.mhz->currentText(), "mhz");
    QTEST(f.Text1->text(), "khz");
    QTEST(f.Combo1->currentText(), "mode");
    QCOMPARE(folder->readLines("memsat.ini"), QStringList{name});
  }

  // A 23 cm satellite's frequency is shown whole: in the MHz selector and in the panel.
  void aLongUplinkIsShownWhole() {
    Form1& f = ready();
    f.resize(f.Layout.first().Width / kTwipsPerPixel, f.Layout.first().Height / kTwipsPerPixel);  // as drawn
    f.Form_Resize();
    choose(f, "QO-100");
    QStyleOptionComboBox opt;
    opt.initFrom(f.mhz);
    opt.editable = false;
    const QRect field = f.mhz->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, f.mhz);
    QVERIFY2(f.mhz->fontMetrics().horizontalAdvance("1267") <= field.width(), qPrintable(QString::number(field.width())));
    QVERIFY(f.Subida->fontMetrics().horizontalAdvance(f.Subida->text()) <= f.Subida->width());
  }

  void theFirstOfTwoEqualNamesWins() {
    Form1& f = ready();
    choose(f, "SO-50");
    QCOMPARE(f.Subida->text(), QString("Subida: 2m "));
    QCOMPARE(f.Modo->text(), QString("Modo: FM"));
  }

  void aLineWithoutFrequencyTakesNothingFromTheOneBefore() {
    Form1& f = ready();
    choose(f, "QO-100");
    choose(f, "XX-23");  // 23 cm, no frequency, no default
    QCOMPARE(f.Subida->text(), QString("Subida: 23cm "));
    QCOMPARE(f.Subtono->text(), QString("SubTono: 67.0"));
    QCOMPARE(f.mhz->currentText(), QString("1267"));  // an empty MHz part is not offered
    QCOMPARE(f.Text1->text(), QString("100"));
  }

  void beforeTheFirstClockTickOnlyThePanelChanges() {
    Form1& f = form1();
    for (QTimer* t : f.findChildren<QTimer*>()) t->stop();
    choose(f, "RS-44");
    QCOMPARE(f.Subida->text(), QString("Subida: 2m 145.965"));
    QCOMPARE(folder->readLines("memsat.ini"), QStringList{"RS-44"});
    QCOMPARE(f.mhz->currentText(), QString("3"));
    QCOMPARE(f.Text1->text(), QString("650"));
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));
  }

  void tickingAndUntickingTheBox() {
    Form1& f = ready();
    f.Combo1->setCurrentText("CW");
    f.mhz->setCurrentText("14");
    f.Text1->setText("025");

    // No satellite chosen yet: the panel shows, the frequency stays.
    f.Check2->setChecked(true);
    QVERIFY(!f.Frame2->isHidden());
    QVERIFY(!f.Command15->isHidden());
    for (QWidget* w : {static_cast<QWidget*>(f.Combo1), static_cast<QWidget*>(f.mhz), static_cast<QWidget*>(f.Text1)})
      QVERIFY(!w->isEnabled());
    QCOMPARE(f.mhz->currentText(), QString("14"));
    QCOMPARE(f.Text1->text(), QString("025"));

    choose(f, "QO-100");
    QCOMPARE(f.mhz->currentText(), QString("1267"));
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));

    f.Check2->setChecked(false);
    QCOMPARE(f.Combo1->currentText(), QString("CW"));
    QCOMPARE(f.mhz->currentText(), QString("14"));
    QCOMPARE(f.Text1->text(), QString("025"));
    for (QWidget* w : {static_cast<QWidget*>(f.Combo1), static_cast<QWidget*>(f.mhz), static_cast<QWidget*>(f.Text1)})
      QVERIFY(w->isEnabled());
    QVERIFY(f.Frame2->isHidden());
    QVERIFY(f.Command15->isHidden());
    QVERIFY(f.Image2->isHidden());
    QVERIFY(!f.Timer9->isActive());

    // Ticked again with a satellite chosen: its uplink at once.
    f.Check2->setChecked(true);
    QCOMPARE(f.mhz->currentText(), QString("1267"));
    QCOMPARE(f.Text1->text(), QString("100"));
    QCOMPARE(state().PreSatelliteMhz, QString("14"));
  }

  void aSatellitesFileGoneMeansNoMatch() {
    Form1& f = ready();
    choose(f, "AO-7");
    QVERIFY(QFile::remove(folder->file("satelites.txt")));
    choose(f, "RS-44");
    // The panel keeps the last satellite found; the frequency follows its label.
    QCOMPARE(f.Subida->text(), QString("Subida: 70cm "));
    QCOMPARE(f.mhz->currentText(), QString("435"));
    QCOMPARE(folder->readLines("memsat.ini"), QStringList{"AO-7"});
  }

  void editarRefillsTheSelectorAndOpensTheEditor() {
    Form1& f = ready();
    choose(f, "AO-7");
    bool editorShown = false;
    QTimer::singleShot(0, this, [&] {
      editorShown = form11().isVisible() && form11().isModal();
      form11().Command3_Click();  // "Cancelar" hides it
    });
    f.Command1_Click();
    QVERIFY(editorShown);
    QCOMPARE(f.Combo3->currentIndex(), -1);
    QCOMPARE(f.Subida->text(), QString("Subida:2m"));  // the loader's caption of the last line
  }

  void aSatelliteAddedInTheEditorCanBeChosenAtOnce() {
    Form1& f = ready();
    QTimer::singleShot(0, this, [] {
      Form11& e = form11();
      e.Text1->setText("io-117");
      e.Combo1->setCurrentText("23cm");
      e.Combo2->setCurrentText("70cm");
      e.Combo3->setCurrentText("FM");
      e.Frec_new->setText("1267.350");
      e.Command1_Click();  // "Agregar"
      e.Command3_Click();
    });
    f.Command1_Click();
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(folder->readLines("satelites.txt").contains("IO-117;23cm;70cm;FM; ;1267.350"));
    choose(f, "IO-117");
    QCOMPARE(f.mhz->currentText(), QString("1267"));
    QCOMPARE(f.Text1->text(), QString("350"));
    QCOMPARE(f.Combo1->currentText(), QString("FM"));
  }

  // Picking the satellite the selector already shows is a choice like any other:
  // after unticking and ticking again it is the way to take the satellite's mode.
  void pickingTheShownSatelliteAgainAppliesIt() {
    Form1& f = ready();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.Combo1->setCurrentText("CW");
    f.Check2->setChecked(true);
    const auto pick = [&](const QString& name) {
      f.Combo3->showPopup();
      QAbstractItemView* list = f.Combo3->view();
      list->setCurrentIndex(list->model()->index(f.Combo3->findText(name), 0));
      QTest::keyClick(list, Qt::Key_Return);
    };
    pick("SO-50");
    QCOMPARE(f.Combo1->currentText(), QString("FM"));

    f.Check2->setChecked(false);
    f.Check2->setChecked(true);
    QCOMPARE(f.Combo1->currentText(), QString("CW"));  // ticking keeps the strip's mode
    QCOMPARE(f.Combo3->currentText(), QString("SO-50"));
    pick("SO-50");
    QCOMPARE(f.Combo1->currentText(), QString("FM"));
    QCOMPARE(f.mhz->currentText(), QString("145"));
    QCOMPARE(f.Text1->text(), QString("550"));
  }

  void thePassPageOpensInTheBrowser() {
    Form1& f = ready();
    f.Check2->setChecked(true);
    f.Command15->click();
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].kind, test::RecordingLauncher::Kind::Url);
    QVERIFY(launcher->calls[0].target.endsWith("/pass.htm"));
  }
};

QTEST_MAIN(TstSatelliteMode)
#include "tst_satellitemode.moc"
