#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "contest/conteststore.h"
#include "contest/form7.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using namespace vz::test;

namespace {

qint64 addQso(const QString& contest, const QString& call, const QString& date, const QString& time,
              const QString& type = kSerialIncremental) {
  const auto r = InsertContestQso(call, "40m", "CW", "5", "17", date, time, "LU9ZZ", contest, "", "7025", contest, type);
  if (!r.ok()) qFatal("insert failed");
  return r.value.id;
}

ContestQso stored(qint64 id) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT * FROM Tabla2 WHERE id=?"), {id}) || !q.next()) return {};
  return readContestQso(q);
}

// Runs work while the editor is shown modally, then lets the opener return.
void whileShown(std::function<void(Form7&)> work) {
  QTimer::singleShot(0, [work] {
    QTRY_VERIFY(form7().isVisible());
    work(form7());
    if (FormInstance<Form7>::loaded() && form7().isVisible()) form7().hide();
  });
}

}  // namespace

class TestForm7 : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    folder = new TempFolder;
    dialogs = new ScriptedDialogs;
    reloads.clear();
    setContestListReload([this](int position) { reloads << position; });
    InsertContestQso("", "", "", "", "", "", "", "", "Rally", "", "", "Rally", kSerialIncremental);
  }
  void cleanup() {
    setContestListReload({});
    FormInstance<Form7>::unload();
    delete dialogs;
    delete folder;
  }

  void listOpenerFillsAndSavesEveryField() {
    const qint64 id = addQso("Rally", "LU1AA", "20240315", "0905");
    const ContestListRow row = contestListRow(stored(id));
    QVERIFY(OpenContestRecordFromList(nullptr, 1, "Rally", kSerialIncremental) == false);
    // Nothing opened, so no activation follows to clear the flag: it is not set.
    QVERIFY(!state().ContestFormBusy);

    whileShown([&](Form7& f) {
      QCOMPARE(f.windowTitle(), QString("Edición de Registro #%1").arg(id));
      QCOMPARE(f.Text1->text(), QString("LU9ZZ"));
      QCOMPARE(f.Text2->text(), QString("LU1AA"));
      QCOMPARE(f.Text4->text(), QString("20240315"));
      QCOMPARE(f.Text5->text(), QString("0905"));
      QCOMPARE(f.Text6->text(), QString("5"));
      QCOMPARE(f.Text7->text(), QString("17"));
      QCOMPARE(f.Combo1->currentText(), QString("40m"));
      QCOMPARE(f.Combo2->currentText(), QString("CW"));
      QCOMPARE(f.Combo1->count(), 8);
      QCOMPARE(f.Label3->text(), QString("Rally"));
      QCOMPARE(f.Label10->text(), kSerialIncremental);
      f.Text2->setText("O'BRIEN");  // bound, not a broken statement
      f.Text4->setText("20240316");
      f.Text5->setText("1010");
      f.Combo1->setCurrentText("2m");
      f.Combo2->setCurrentText("FM");
      f.Text7->setText("99");
      f.Command1->click();
      QVERIFY(!f.isVisible());
    });
    QVERIFY(OpenContestRecordFromList(&row, 3, "Rally", kSerialIncremental));

    const ContestQso q = stored(id);
    QCOMPARE(q.Estacion, QString("O'BRIEN"));
    QCOMPARE(q.Fecha, QString("20240316"));
    QCOMPARE(q.Hora, QString("1010"));
    QCOMPARE(q.Banda, QString("2m"));
    QCOMPARE(q.Modo, QString("FM"));
    QCOMPARE(q.RSE, QString("5"));
    QCOMPARE(q.RSR, QString("99"));
    QCOMPARE(q.Frecuencia, QString("7025"));  // kept: the list does not show it
    QCOMPARE(q.Ruk, QString("Rally"));
    QCOMPARE(q.Nombre_Sat, kSerialIncremental);
    QCOMPARE(reloads, QList<int>{3});
  }

  void deleteAsksAndNoKeepsTheRow() {
    const qint64 id = addQso("Rally", "LU1AA", "20240315", "0905");
    const ContestListRow row = contestListRow(stored(id));
    dialogs->answers << MsgAnswer::No;
    whileShown([](Form7& f) { f.Command2->click(); });
    OpenContestRecordFromList(&row, 1, "Rally", kSerialIncremental);
    QCOMPARE(dialogs->lastText(), QString("Elimina el QSO con LU1AA?"));
    QCOMPARE(dialogs->messages.last().defaultButton, MsgAnswer::No);
    QCOMPARE(stored(id).id, id);
    QVERIFY(reloads.isEmpty());

    dialogs->answers << MsgAnswer::Yes;
    whileShown([](Form7& f) { f.Command2->click(); });
    OpenContestRecordFromList(&row, 1, "Rally", kSerialIncremental);
    QCOMPARE(stored(id).id, qint64(0));
    QCOMPARE(reloads, QList<int>{0});
  }

  void f12OpensTheLatestByDateAndTime() {
    QVERIFY(!EditLastContestQso("Rally", kSerialIncremental));  // only the header row

    const qint64 latest = addQso("Rally", "LU2BB", "20240316", "0001");
    addQso("Rally", "LU1AA", "20240315", "2359");  // entered later, older
    QString call;
    whileShown([&](Form7& f) {
      call = f.Text2->text();
      f.Command1->click();
    });
    QVERIFY(EditLastContestQso("Rally", kSerialIncremental));
    QCOMPARE(call, QString("LU2BB"));
    QCOMPARE(stored(latest).Frecuencia, QString("7025"));
    QCOMPARE(reloads, QList<int>{0});  // no list position to select
  }

  void escUnloadsWithoutWriting() {
    const qint64 id = addQso("Rally", "LU1AA", "20240315", "0905");
    whileShown([](Form7& f) {
      f.Text2->setText("LU7XX");
      QTest::keyClick(&f, Qt::Key_Escape);
    });
    EditLastContestQso("Rally", kSerialIncremental);
    QVERIFY(!FormInstance<Form7>::loaded());
    QCOMPARE(stored(id).Estacion, QString("LU1AA"));
    QVERIFY(reloads.isEmpty());
  }

  void keysAreFilteredByBoxAndSerialType() {
    const struct {
      const char* what;
      QString type;
      QLineEdit* Form7::*box;
      const char* typed;
      const char* result;
    } cases[] = {
        {"call upper-cased", kSerialIncremental, &Form7::Text2, "lu1/p-x ?", "LU1/PX?"},
        {"date digits only", kSerialIncremental, &Form7::Text4, "2024a-03?", "202403?"},
        {"incremental serial digits only", kSerialIncremental, &Form7::Text6, "a12b/", "12"},
        {"fixed exchange takes letters", kSerialFija, &Form7::Text7, "gf05/", "GF05"},
    };
    for (const auto& c : cases) {
      Form7& f = form7();
      ContestQso q;
      q.id = 1;
      f.fillFrom(q, 0, "Rally", c.type);
      QLineEdit* b = f.*c.box;
      b->clear();
      f.show();
      b->setFocus();
      QTest::keyClicks(b, c.typed);
      QCOMPARE(b->text(), QString(c.result));
      f.hide();
    }
  }

  void leavingABadBoxWarnsAndReturnsTheFocus() {
    Form7& f = form7();
    ContestQso q;
    q.id = 1;
    f.fillFrom(q, 0, "Rally", kSerialIncremental);
    f.show();
    QApplication::setActiveWindow(&f);
    f.Text5->setFocus();
    QTRY_VERIFY(f.Text5->hasFocus());
    f.Text5->setText("2575");
    f.Text6->setFocus();
    QCOMPARE(dialogs->texts(), (QStringList{"Error en la HORA 25!", "Error en los MINUTOS 75!"}));
    QTRY_VERIFY(f.Text5->hasFocus());
    QCOMPARE(f.Text5->text(), QString("2575"));

    dialogs->clear();
    f.Text5->setText("2359");
    f.Text6->setFocus();
    QTRY_VERIFY(f.Text6->hasFocus());
    QVERIFY(dialogs->messages.isEmpty());
  }

 private:
  TempFolder* folder = nullptr;
  ScriptedDialogs* dialogs = nullptr;
  QList<int> reloads;
};

QTEST_MAIN(TestForm7)
#include "tst_form7.moc"
