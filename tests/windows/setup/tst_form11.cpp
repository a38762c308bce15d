#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "setup/form11.h"
#include "store/satellites.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstForm11 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  int reloads = 0;

  QStringList fileLines() const { return folder->readLines("satelites.txt"); }
  QStringList listed(Form11& f) const {
    QStringList l;
    for (int i = 0; i < f.List1->count(); ++i) l << f.List1->item(i)->text();
    return l;
  }
  void open(Form11& f, const QString& name) {
    for (int i = 0; i < f.List1->count(); ++i) {
      if (f.List1->item(i)->text().section(';', 0, 0) == name) {
        f.List1->setCurrentRow(i);
        f.List1_DblClick();
        return;
      }
    }
    QFAIL(qPrintable("not listed: " + name));
  }
  void fillAdd(Form11& f, const QString& name, const QString& up, const QString& down, const QString& mode,
               const QString& subTone, const QString& freq) {
    f.Text1->setText(name);
    f.Combo1->setCurrentText(up);
    f.Combo2->setCurrentText(down);
    f.Combo3->setCurrentText(mode);
    f.Text4->setText(subTone);
    f.Frec_new->setText(freq);
  }
  Form11& shownEditor() {
    Form11& f = form11();
    f.show();
    QApplication::setActiveWindow(&f);
    if (!QTest::qWaitForWindowActive(&f)) qWarning("editor window not active");
    return f;
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>(false);
    dialogs = std::make_unique<test::ScriptedDialogs>();
    QVERIFY(WriteDefaultSatelliteFile());
    reloads = 0;
    Form11::setSatelliteFileChanged([this] { ++reloads; });
  }
  void cleanup() {
    FormInstance<Form11>::unload();
    Form11::setSatelliteFileChanged(nullptr);
    dialogs.reset();
    folder.reset();
  }

  void listsTheDefaultFile() {
    Form11& f = form11();
    QCOMPARE(f.windowTitle(), QString::fromUtf8("Editar Satélites ..."));
    QCOMPARE(f.height(), 3510 / 15);
    QVERIFY(f.Frame3->isHidden());
    const QStringList l = listed(f);
    QCOMPARE(l.size(), 16);
    QCOMPARE(l.first(), "AO-7;70cm;2m;SSB;100.4;");
    QCOMPARE(l[1], "AO-73;70cm;2m;SSB; ;");
    QVERIFY(l.contains("LILACSAT-2;2m;70cm;SSB; ;"));
    QCOMPARE(l.last(), "XW-2F;70cm;2m;SSB; ;");
    for (const QString& e : l) QCOMPARE(e.count(';'), 5);
    QCOMPARE(f.Combo1->currentText(), "2m");
    QCOMPARE(f.Combo2->currentText(), "70cm");
    QCOMPARE(f.Combo3->currentText(), "FM");
    QCOMPARE(f.Frec_new->maxLength(), 7);
  }

  void openingFillsTheEditingFrame() {
    Form11& f = form11();
    open(f, "AO-7");
    QVERIFY(!f.Frame3->isHidden());
    QCOMPARE(f.Label2->text(), "0");
    QCOMPARE(f.Text2->text(), "AO-7");
    QCOMPARE(f.Combo8->currentText(), "70cm");
    QCOMPARE(f.Combo7->currentText(), "2m");
    QCOMPARE(f.Combo6->currentText(), "SSB");
    QCOMPARE(f.Text3->text(), "100.4");
    QCOMPARE(f.Text5->text(), "");

    folder->writeLines("satelites.txt", {"X;23cm;70cm;FM;67.0;1267.500"});
    FormInstance<Form11>::unload();
    Form11& g = form11();
    open(g, "X");
    QCOMPARE(g.Combo8->currentText(), "23cm");
    QCOMPARE(g.Text5->maxLength(), 8);
    QCOMPARE(g.Text5->text(), "1267.500");

    // Nothing selected: a double-click opens nothing.
    g.Frame3->hide();
    g.List1->setCurrentRow(-1);
    g.List1_DblClick();
    QVERIFY(g.Frame3->isHidden());
  }

  void addAppendsALine() {
    Form11& f = form11();
    fillAdd(f, "rs-44", "2m", "70cm", "SSB", "", "");
    f.Command1_Click();
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(fileLines().size(), 17);
    QCOMPARE(fileLines().last(), "RS-44;2m;70cm;SSB; ; ");
    QCOMPARE(reloads, 1);
    QVERIFY(listed(f).contains("RS-44;2m;70cm;SSB; ; "));
    QCOMPARE(f.Text1->text(), "");
    QCOMPARE(f.Frec_new->text(), "");
    QCOMPARE(f.Text4->text(), " ");
    QCOMPARE(f.Combo1->currentText(), "2m");

    fillAdd(f, "io-117", "70cm", "2m", "FM", "67.0", "435.310");
    f.Command1_Click();
    QCOMPARE(fileLines().last(), "IO-117;70cm;2m;FM;67.0;435.310");
    QCOMPARE(reloads, 2);
  }

  void addRefusals_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("down");
    QTest::addColumn<QString>("freq");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no name") << "  " << "2m" << "70cm" << "" << QString::fromUtf8("Falta el nombre del Satélite!")
                             << "Text1";
    QTest::newRow("same bands") << "RS-44" << "2m" << "2m" << "" << "Banda de Subida igual a la de Bajada ?"
                                << "Combo2";
    QTest::newRow("23 cm format") << "RS-44" << "23cm" << "70cm" << "1267.10"
                                  << "En 23 cm, el formato de la frecuencia es:\r\n\r\nMMMM.KKK" << "Frec_new";
    QTest::newRow("out of band") << "RS-44" << "2m" << "70cm" << "150.000"
                                 << "La frecuencia es 150.000\r\nNo es de la banda de 2m!" << "Frec_new";
    QTest::newRow("duplicate") << "so-50" << "2m" << "70cm" << ""
                               << QString::fromUtf8("el satélite SO-50 ya está en la lista!") << "";
  }
  void addRefusals() {
    QFETCH(QString, name);
    QFETCH(QString, up);
    QFETCH(QString, down);
    QFETCH(QString, freq);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Form11& f = shownEditor();
    const QStringList before = fileLines();
    fillAdd(f, name, up, down, "FM", "", freq);
    f.Command3->setFocus();
    f.Command1_Click();
    QCOMPARE(dialogs->texts(), QStringList{message});
    QCOMPARE(dialogs->messages.first().icon, MsgIcon::Exclamation);
    QCOMPARE(fileLines(), before);
    QCOMPARE(reloads, 0);
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(),
             focus.isEmpty() ? f.Command3->objectName() : focus);
  }

  void nameDifferingInCaseIsAccepted() {
    folder->writeLines("satelites.txt", {"ao-7;70cm;2m;SSB;100.4"});
    Form11& f = form11();
    fillAdd(f, "Ao-7", "70cm", "2m", "SSB", "", "");
    f.Command1_Click();
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(fileLines(), (QStringList{"ao-7;70cm;2m;SSB;100.4", "AO-7;70cm;2m;SSB; ; "}));
  }

  void semicolonCannotBeTyped() {
    Form11& f = shownEditor();
    for (QLineEdit* box : {f.Text1, f.Text4}) {
      box->setFocus();
      QTest::keyClicks(box, "A;B");
      QCOMPARE(box->text(), "AB");
    }
    f.Frec_new->setFocus();
    QTest::keyClicks(f.Frec_new, "14a5;.9?x");
    QCOMPARE(f.Frec_new->text(), "145.9?");
    QTest::keyClick(f.Frec_new, Qt::Key_Backspace);
    QCOMPARE(f.Frec_new->text(), "145.9");
  }

  // satelites.txt is Windows-1252: the boxes drop what it cannot hold, pasted too.
  void boxesTakeOnlyWhatTheFileCanHold() {
    Form11& f = shownEditor();
    for (QLineEdit* box : {f.Text1, f.Text4, f.Text2, f.Text3}) {
      box->clear();
      QGuiApplication::clipboard()->setText(QString::fromUtf8("SO-Ł50€"));
      box->paste();
      QCOMPARE(box->text(), QString::fromUtf8("SO-50€"));
      box->clear();
      QGuiApplication::clipboard()->setText(QString::fromUtf8("A;Ł"));
      box->paste();  // the separator still refuses the whole paste
      QCOMPARE(box->text(), QString());
    }
  }

  void lengthLimitFollowsTheUplinkBand() {
    Form11& f = form11();
    f.Combo1->setCurrentText("23cm");
    QCOMPARE(f.Frec_new->maxLength(), 8);
    f.Combo1->setCurrentText("70cm");
    QCOMPARE(f.Frec_new->maxLength(), 7);
    open(f, "AO-7");
    f.Combo8->setCurrentText("23cm");
    QCOMPARE(f.Text5->maxLength(), 8);
    f.Combo8->setCurrentText("2m");
    QCOMPARE(f.Text5->maxLength(), 7);
  }

  void leavingAFrequencyBox_data() {
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("2m ok") << "2m" << "145.900" << "";
    QTest::newRow("empty") << "2m" << "" << "";
    QTest::newRow("2m out") << "2m" << "150.000" << "La frecuencia es 150.000\r\nNo es de la banda de 2m!";
    QTest::newRow("2m short") << "2m" << "145.90" << "El formato de la frecuencia es:\r\n\r\nMMM.KKK";
    QTest::newRow("no point") << "2m" << "1459000" << "El formato de la frecuencia es:\r\n\r\nMMM.KKK";
    QTest::newRow("23cm ok") << "23cm" << "1267.500" << "";
    QTest::newRow("23cm out") << "23cm" << "1269.000"
                              << QString::fromUtf8("La frecuencia es 1269.000\r\nNo es de la banda de satélites "
                                                   "en 23cm!\r\ndebe estar en 1267MHz");
    QTest::newRow("23cm short") << "23cm" << "1267.50" << "En 23 cm, el formato de la frecuencia es:\r\n\r\nMMMM.KKK";
  }
  void leavingAFrequencyBox() {
    QFETCH(QString, band);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Form11& f = shownEditor();
    f.Combo1->setCurrentText(band);
    f.Frec_new->setFocus();
    f.Frec_new->setText(text);
    f.Text4->setFocus();
    QCOMPARE(dialogs->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QTRY_COMPARE(QApplication::focusWidget(), message.isEmpty() ? f.Text4 : f.Frec_new);

    // The editing frame's box follows the same rule with its own band.
    f.Frec_new->clear();
    dialogs->clear();
    open(f, "AO-7");
    f.Combo8->setCurrentText(band);
    f.Text5->setFocus();
    f.Text5->setText(text);
    f.Text3->setFocus();
    QCOMPARE(dialogs->texts(), message.isEmpty() ? QStringList() : QStringList{message});
  }

  void clickingAgregarChecksTheFrequencyOnce() {
    Form11& f = shownEditor();
    fillAdd(f, "RS-44", "2m", "70cm", "SSB", "", "");
    f.Frec_new->setFocus();
    f.Frec_new->setText("150.000");
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(dialogs->texts(), QStringList{"La frecuencia es 150.000\r\nNo es de la banda de 2m!"});
    QCOMPARE(fileLines(), DefaultSatelliteLines());
    QTRY_COMPARE(QApplication::focusWidget(), f.Frec_new);

    // A band changed after the frequency was typed is caught too.
    dialogs->clear();
    f.Frec_new->setText("145.900");
    f.Combo1->setFocus();
    f.Combo1->setCurrentText("70cm");
    f.Combo2->setCurrentText("2m");
    QVERIFY(dialogs->messages.isEmpty());
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(dialogs->texts(), QStringList{"La frecuencia es 145.900\r\nNo es de la banda de 70m!"});
    QCOMPARE(fileLines(), DefaultSatelliteLines());
  }

  // Both frequency boxes hold a frequency their (since changed) bands refuse: going
  // from one to the other refuses once and puts the focus back, it does not start
  // the other box's check, which would send the focus back again, and so on.
  void twoRefusedFrequenciesDoNotTakeTurns() {
    Form11& f = shownEditor();
    open(f, "AO-7");
    f.Frec_new->setFocus();
    f.Frec_new->setText("145.900");
    f.Combo1->setCurrentText("70cm");
    f.Text5->setText("145.900");
    f.Combo8->setCurrentText("70cm");
    QVERIFY(dialogs->messages.isEmpty());

    f.Text5->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.Frec_new);
    QTest::qWait(100);
    QCOMPARE(dialogs->texts(), QStringList{"La frecuencia es 145.900\r\nNo es de la banda de 70m!"});
    QCOMPARE(QApplication::focusWidget(), f.Frec_new);

    // Corrected, the box lets the focus go, and the other box is checked when left.
    f.Frec_new->setText("435.300");
    f.Text5->setFocus();
    f.Text3->setFocus();
    QCOMPARE(dialogs->messages.size(), 2);
    QTRY_COMPARE(QApplication::focusWidget(), f.Text5);
  }

  void acceptRewritesTheFileInListOrder() {
    Form11& f = shownEditor();
    open(f, "SO-50");
    f.Text2->setText("so-50b");
    f.Text3->setText("");
    f.Text5->setText("145.850");
    f.Command2_Click();
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(f.isHidden());
    QVERIFY(f.Frame3->isHidden());
    QCOMPARE(reloads, 1);
    const QStringList lines = fileLines();
    QCOMPARE(lines, listed(f));
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines.first(), "AO-7;70cm;2m;SSB;100.4;");
    const int at = int(lines.indexOf("SO-50B;2m;70cm;FM; ;145.850"));
    QVERIFY(at > 0);
    QVERIFY(lines[at - 1].startsWith("LILACSAT-2;"));  // kept its place
  }

  void acceptAndDeleteFindTheOpenedEntryAfterAdd() {
    Form11& f = form11();
    open(f, "SO-50");
    const QString position = f.Label2->text();
    fillAdd(f, "AA-1", "2m", "70cm", "FM", "", "");
    f.Command1_Click();  // sorts first: every position moves
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(listed(f).first(), "AA-1;2m;70cm;FM; ; ");

    f.Text3->setText("71.9");
    f.Command2_Click();
    QVERIFY(dialogs->messages.isEmpty());
    QStringList lines = fileLines();
    QVERIFY(lines.contains("SO-50;2m;70cm;FM;71.9; "));
    QVERIFY(lines.contains("AA-1;2m;70cm;FM; ; "));
    QCOMPARE(lines.size(), 17);
    QCOMPARE(f.Label2->text(), QString::number(position.toInt() + 1));

    open(f, "IO-86");
    fillAdd(f, "AB-1", "2m", "70cm", "FM", "", "");
    f.Command1_Click();
    dialogs->answers << MsgAnswer::Yes;
    f.Command4_Click();
    lines = fileLines();
    QCOMPARE(lines.size(), 17);
    QVERIFY(!lines.join('\n').contains("IO-86"));
    QVERIFY(lines.contains("AB-1;2m;70cm;FM; ; "));
    QVERIFY(lines.contains("SO-50;2m;70cm;FM;71.9; "));
  }

  void acceptRefusals() {
    Form11& f = form11();
    open(f, "SO-50");
    f.Text2->setText("ao-7");
    f.Command2_Click();
    QCOMPARE(dialogs->texts(), QStringList{QString::fromUtf8("el satélite AO-7 ya está en la lista!")});
    f.Text2->setText("SO-50");
    f.Combo7->setCurrentText("2m");
    f.Command2_Click();
    QCOMPARE(dialogs->lastText(), "Banda de Subida igual a la de Bajada ?");
    f.Combo7->setCurrentText("70cm");
    f.Text2->setText(" ");
    f.Command2_Click();
    QCOMPARE(dialogs->lastText(), QString::fromUtf8("Falta el nombre del Satélite!"));
    QCOMPARE(fileLines(), DefaultSatelliteLines());
    QCOMPARE(reloads, 0);
    QVERIFY(!f.Frame3->isHidden());

    // Its own name, unchanged, is no duplicate.
    f.Text2->setText("SO-50");
    f.Command2_Click();
    QCOMPARE(dialogs->messages.size(), 3);
    QCOMPARE(reloads, 1);
  }

  void deleteAsksFirst() {
    Form11& f = form11();
    open(f, "AO-92");
    dialogs->answers << MsgAnswer::No;
    f.Command4_Click();
    QCOMPARE(dialogs->messages.size(), 1);
    const MessageRequest& q = dialogs->messages.first();
    QCOMPARE(q.text, QString::fromUtf8("Elimina Satélite AO-92?"));
    QCOMPARE(q.icon, MsgIcon::Question);
    QCOMPARE(q.buttons, MsgButtons::YesNo);
    QCOMPARE(q.defaultButton, MsgAnswer::No);
    QCOMPARE(fileLines(), DefaultSatelliteLines());
    QVERIFY(!f.Frame3->isHidden());

    dialogs->answers << MsgAnswer::Yes;
    f.Command4_Click();
    QVERIFY(f.Frame3->isHidden());
    QCOMPARE(reloads, 1);
    QCOMPARE(fileLines().size(), 15);
    QCOMPARE(fileLines(), listed(f));
    QVERIFY(!listed(f).join('\n').contains("AO-92"));
  }

  void deletingTheOnlyEntryLeavesAnEmptyFile() {
    folder->writeLines("satelites.txt", {"AO-7;70cm;2m;SSB;100.4"});
    Form11& f = form11();
    open(f, "AO-7");
    dialogs->answers << MsgAnswer::Yes;
    f.Command4_Click();
    QVERIFY(folder->exists("satelites.txt"));
    QCOMPARE(QFileInfo(folder->file("satelites.txt")).size(), 0);
    QCOMPARE(f.List1->count(), 0);
    QCOMPARE(reloads, 1);
  }

  void cancelWritesNothing() {
    Form11& f = shownEditor();
    open(f, "AO-7");
    f.Text3->setText("88.5");
    f.Command3_Click();
    QVERIFY(f.isHidden());
    QVERIFY(f.Frame3->isHidden());
    QCOMPARE(fileLines(), DefaultSatelliteLines());
    QCOMPARE(reloads, 0);
  }

  void handEditedFile() {
    folder->writeLines("satelites.txt", {"", "AO-7;70cm;2m;SSB;100.4", "una nota", "FO-99;6m;2m;AM;"});
    Form11& f = form11();
    QCOMPARE(listed(f), (QStringList{"AO-7;70cm;2m;SSB;100.4;", "FO-99;6m;2m;AM; ;"}));

    // Choices the lists do not offer are kept as they are.
    open(f, "FO-99");
    QCOMPARE(f.Combo8->currentText(), "6m");
    QCOMPARE(f.Combo6->currentText(), "AM");
    f.Command2_Click();
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(fileLines(), (QStringList{"AO-7;70cm;2m;SSB;100.4;", "FO-99;6m;2m;AM; ; ", "una nota"}));

    // Reopened on a fresh list, the extra choice is gone.
    open(f, "AO-7");
    QCOMPARE(f.Combo8->count(), 3);
    QCOMPARE(f.Combo6->count(), 2);
  }

  void appendAfterALastLineWithoutEnd() {
    QFile file(folder->file("satelites.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("AO-7;70cm;2m;SSB;100.4");
    file.close();
    Form11& f = form11();
    fillAdd(f, "RS-44", "2m", "70cm", "SSB", "", "");
    f.Command1_Click();
    QCOMPARE(fileLines(), (QStringList{"AO-7;70cm;2m;SSB;100.4", "RS-44;2m;70cm;SSB; ; "}));
  }

  void fileRemovedWhileOpen() {
    Form11& f = form11();
    QVERIFY(QFile::remove(folder->file("satelites.txt")));
    fillAdd(f, "RS-44", "2m", "70cm", "SSB", "", "");
    f.Command1_Click();
    QCOMPARE(fileLines(), QStringList{"RS-44;2m;70cm;SSB; ; "});
    QCOMPARE(listed(f), QStringList{"RS-44;2m;70cm;SSB; ; "});
  }

  void hidingKeepsTheWindowClosingUnloadsIt() {
    Form11& f = shownEditor();
    f.Text1->setText("XX");
    f.Command3_Click();
    QVERIFY(FormInstance<Form11>::loaded());
    QCOMPARE(form11().Text1->text(), "XX");

    form11().show();
    form11().close();
    QTRY_VERIFY(!FormInstance<Form11>::loaded());
    QCOMPARE(form11().Text1->text(), "");
  }
};

QTEST_MAIN(TstForm11)
#include "tst_form11.moc"
