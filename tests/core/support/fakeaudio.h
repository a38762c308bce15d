#pragma once
#include <QList>
#include <QPointer>
#include <QStringList>

#include "platform/audioplayer.h"

namespace vz::test {

// A player that plays nothing: it records what it was told and reports progress,
// the end of playback or a failure when the test says so.
class FakeAudioPlayer : public AudioPlayer {
  Q_OBJECT
 public:
  void play(const QString& path) override;
  void stop() override;
  bool isPlaying() const override { return playing_; }

  // "The file is open and lasts durationMs": started() while playing and the length
  // is not zero.
  void load(qint64 durationMs);
  // Reports a position while playing.
  void report(qint64 positionMs, qint64 durationMs);
  // "Playback ended".
  void finish();
  void fail(const QString& error);

  QStringList calls;  // "play <path>", "stop"
  QString path;

 private:
  bool playing_ = false;
};

// Makes every new player a fake for its lifetime and keeps hold of them.
class FakeAudio {
 public:
  FakeAudio();
  ~FakeAudio();
  // The players made so far (null once destroyed), the latest last.
  QList<QPointer<FakeAudioPlayer>> players;
  FakeAudioPlayer* last() const { return players.isEmpty() ? nullptr : players.last().data(); }
};

}  // namespace vz::test
