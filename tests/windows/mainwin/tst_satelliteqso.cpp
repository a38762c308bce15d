// A satellite QSO and then a plain one, logged from the keyboard: the satellite's
// name, mode and uplink go into the row, and unticking gives the strip back.
#include <QSqlRecord>
#include <QtTest>

#include "entrystripfixture.h"

using namespace vz;

namespace {
QString col(const QSqlRecord& r, const char* name) { return r.value(QLatin1String(name)).toString(); }
QStringList row(const QSqlRecord& r) {
  return {col(r, "Estacion"), col(r, "Nombre_Sat"), col(r, "Modo"), col(r, "Frecuencia"), col(r, "Banda")};
}
}  // namespace

class TstSatelliteQso : public QObject {
  Q_OBJECT

  std::unique_ptr<test::EntryStripFixture> env;

 private slots:
  void init() { env = std::make_unique<test::EntryStripFixture>(); }
  void cleanup() { env.reset(); }

  void satelliteQsoThenPlainQso() {
    Form1& f = form1();
    f.Check2->setChecked(true);
    const int i = f.Combo3->findText("AO-91");
    QVERIFY2(i >= 0, "AO-91 is among the default satellites");
    f.Combo3->setCurrentIndex(i);

    test::typeInto(f.Corresponsal, "py2xyz");
    f.Obs->setFocus();
    test::settle();
    test::pressEnter();

    f.Check2->setChecked(false);
    test::typeInto(f.Corresponsal, "ea8xyz");
    f.Obs->setFocus();
    test::settle();
    test::pressEnter();

    QVERIFY2(env->dialogs.messages.isEmpty(), qPrintable(env->dialogs.texts().join(" | ")));
    const QList<QSqlRecord> rows = test::storedQsos();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(row(rows[0]), (QStringList{"PY2XYZ", "AO-91", "FM", "435.550", "70cm"}));
    QCOMPARE(row(rows[1]), (QStringList{"EA8XYZ", "", "SSB", "7.150", "40m"}));
  }
};

QTEST_MAIN(TstSatelliteQso)
#include "tst_satelliteqso.moc"
