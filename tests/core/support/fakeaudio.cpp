#include "support/fakeaudio.h"

namespace vz::test {

void FakeAudioPlayer::play(const QString& p) {
  calls << QStringLiteral("play ") + p;
  path = p;
  playing_ = true;
}

void FakeAudioPlayer::stop() {
  calls << QStringLiteral("stop");
  playing_ = false;
}

void FakeAudioPlayer::load(qint64 durationMs) {
  if (playing_ && durationMs > 0) emit started(durationMs);
}

void FakeAudioPlayer::report(qint64 positionMs, qint64 durationMs) {
  if (playing_) emit progress(positionMs, durationMs);
}

void FakeAudioPlayer::finish() {
  playing_ = false;
  emit finished();
}

void FakeAudioPlayer::fail(const QString& error) {
  playing_ = false;
  emit failed(error);
}

FakeAudio::FakeAudio() {
  setAudioPlayerFactory([this]() -> std::unique_ptr<AudioPlayer> {
    auto p = std::make_unique<FakeAudioPlayer>();
    players << QPointer<FakeAudioPlayer>(p.get());
    return p;
  });
}

FakeAudio::~FakeAudio() { setAudioPlayerFactory({}); }

}  // namespace vz::test
