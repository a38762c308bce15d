#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace vz {

// Plays one audio file (the voice call) without blocking the windows. Each window
// that plays owns one player.
class AudioPlayer : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  ~AudioPlayer() override = default;

  // Stops what is playing and starts the file from its beginning; started() follows
  // once the file is open and its length known.
  virtual void play(const QString& path) = 0;
  // Stops and releases the file; no end-of-playback report follows.
  virtual void stop() = 0;
  virtual bool isPlaying() const = 0;

 signals:
  // The file opened with a length other than zero and plays: what must wait for the
  // sound (push-to-talk) may start. A file of no length never reports it.
  void started(qint64 durationMs);
  // While playing: the position and the file's length, in milliseconds.
  void progress(qint64 positionMs, qint64 durationMs);
  // The file played to its end.
  void finished();
  // The file could not be played; the text is the platform's description.
  void failed(const QString& error);
};

using AudioPlayerFactory = std::function<std::unique_ptr<AudioPlayer>()>;

// A new player: the real one over the system's sound output, unless a test
// installed another factory.
std::unique_ptr<AudioPlayer> createAudioPlayer();
// Installs a factory; an empty one restores the real player.
void setAudioPlayerFactory(AudioPlayerFactory factory);

}  // namespace vz
