#include <QDataStream>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/audioplayer.h"

using namespace vz;

namespace {

// A short silent 8 kHz mono WAV: playback runs in real time, so keep it brief.
void writeWav(const QString& path, int ms) {
  const int rate = 8000;
  const quint32 samples = quint32(rate * ms / 1000);
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QDataStream out(&f);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + samples * 2);
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
      << quint16(16);
  out.writeRawData("data", 4);
  out << quint32(samples * 2);
  for (quint32 i = 0; i < samples; ++i) out << qint16(0);
}

}  // namespace

class TstAudioPlayer : public QObject {
  Q_OBJECT
 private slots:
  void playsToTheEndAndReportsProgress() {
    QTemporaryDir dir;
    const QString wav = dir.filePath("voz.wav");
    writeWav(wav, 500);
    auto player = createAudioPlayer();
    QSignalSpy progress(player.get(), &AudioPlayer::progress);
    QSignalSpy done(player.get(), &AudioPlayer::finished);
    QSignalSpy failed(player.get(), &AudioPlayer::failed);
    QSignalSpy started(player.get(), &AudioPlayer::started);
    player->play(wav);
    QVERIFY(player->isPlaying());
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 8000);
    QCOMPARE(failed.count(), 0);
    // The start (with the length) is told once, before the end.
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.first().at(0).toLongLong(), 500);
    QVERIFY(!player->isPlaying());
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(1).toLongLong(), 500);
  }

  void stopEndsWithoutAReport() {
    QTemporaryDir dir;
    const QString wav = dir.filePath("largo.wav");
    writeWav(wav, 3000);
    auto player = createAudioPlayer();
    QSignalSpy done(player.get(), &AudioPlayer::finished);
    player->play(wav);
    QTest::qWait(300);
    player->stop();
    QVERIFY(!player->isPlaying());
    QTest::qWait(300);
    QCOMPARE(done.count(), 0);
  }

  void aRecordingOfNoLengthEndsWithoutStarting() {
    QTemporaryDir dir;
    const QString wav = dir.filePath("vacio.wav");
    writeWav(wav, 0);
    auto player = createAudioPlayer();
    QSignalSpy started(player.get(), &AudioPlayer::started);
    player->play(wav);
    QTRY_VERIFY_WITH_TIMEOUT(!player->isPlaying(), 8000);
    QCOMPARE(started.count(), 0);
  }

  void aFileThatCannotBeOpenedFailsAndNeverStarts_data() {
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not audio") << QByteArray(4000, 'x');
  }
  void aFileThatCannotBeOpenedFailsAndNeverStarts() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QString path = QStringLiteral("/no/existe/voz.wav");
    if (!content.isEmpty()) {
      path = dir.filePath("ruido.wav");
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(content);
    }
    auto player = createAudioPlayer();
    QSignalSpy failed(player.get(), &AudioPlayer::failed);
    QSignalSpy started(player.get(), &AudioPlayer::started);
    player->play(path);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 8000);
    QVERIFY(!player->isPlaying());
    QTest::qWait(200);
    QCOMPARE(started.count(), 0);
  }
};

QTEST_MAIN(TstAudioPlayer)
#include "tst_audioplayer.moc"
