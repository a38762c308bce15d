#include "platform/audioplayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace vz {
namespace {

AudioPlayerFactory& installed() {
  static AudioPlayerFactory f;
  return f;
}

class MediaAudioPlayer : public AudioPlayer {
 public:
  void play(const QString& path) override {
    ensurePlayer();
    player_->stop();
    playing_ = true;
    started_ = false;
    player_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    player_->setPosition(0);
    player_->play();
  }

  void stop() override {
    playing_ = false;
    if (!player_) return;
    player_->stop();
    player_->setSource(QUrl());
  }

  bool isPlaying() const override { return playing_; }

 private:
  // The media backend is loaded only when something is played, so windows that
  // never play do not pay for it.
  void ensurePlayer() {
    if (player_) return;
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::positionChanged, this, [this](qint64 pos) {
      reportStart();
      if (playing_ && player_->playbackState() == QMediaPlayer::PlayingState)
        emit progress(pos, player_->duration());
    });
    connect(player_, &QMediaPlayer::durationChanged, this, [this] { reportStart(); });
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
      if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia) reportStart();
      if (s == QMediaPlayer::EndOfMedia && playing_) {
        playing_ = false;
        emit finished();
      } else if (s == QMediaPlayer::InvalidMedia && playing_) {
        playing_ = false;
        emit failed(player_->errorString());
      }
    });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) {
              if (!playing_) return;
              playing_ = false;
              emit failed(text);
            });
  }

  // Once per file, as soon as the player knows a length above zero.
  void reportStart() {
    if (!playing_ || started_ || player_->duration() <= 0) return;
    started_ = true;
    emit started(player_->duration());
  }

  QMediaPlayer* player_ = nullptr;
  QAudioOutput* output_ = nullptr;
  bool playing_ = false;
  bool started_ = false;
};

}  // namespace

std::unique_ptr<AudioPlayer> createAudioPlayer() {
  if (installed()) return installed()();
  return std::make_unique<MediaAudioPlayer>();
}

void setAudioPlayerFactory(AudioPlayerFactory factory) { installed() = std::move(factory); }

}  // namespace vz
