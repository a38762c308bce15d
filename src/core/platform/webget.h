#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace vz {

// The text a browser would show for a page: for HTML the rendered text of the
// body (as innerText gives it), for anything else the text as it came.
QString pageText(const QByteArray& body, const QByteArray& contentType);
// The body decoded by the charset the server or the page names; without one, UTF-8
// when the bytes are valid UTF-8, else Windows-1252.
QString decodePage(const QByteArray& body, const QByteArray& contentType);

// Why a request to this address must not leave, or empty when it may. A query that
// carries a password (a key holding "pass" or "pswd", whatever its letter case) goes
// only over HTTPS; a loopback address (tests, a local proxy) may take it in clear.
QString passwordRefusal(const QUrl& url);

// One asynchronous GET channel, used where the program loads a page and waits for it
// or reacts when it arrives. Starting a new request abandons the running one, and the
// reply of an abandoned request is never taken for a later one's.
class WebGet : public QObject {
  Q_OBJECT
 public:
  enum class State { Idle, Loading, Complete, Failed };

  // Requests end at this deadline from their start, however slowly the bytes come.
  static constexpr int kDefaultDeadlineMs = 15000;
  // A larger answer is a failure: no page the program reads comes near it.
  static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;

  explicit WebGet(QObject* parent = nullptr);
  ~WebGet() override;

  // Deadline of a request in milliseconds from its start (0: none, for waits that
  // give up by a timer of their own).
  void setTimeout(int ms) { timeoutMs_ = ms; }
  int timeout() const { return timeoutMs_; }

  // Starts a request. One the password rule refuses fails at once (refused()) and
  // sends nothing; finished() still follows from the event loop.
  void get(const QUrl& url);
  // Abandons the running request; no signal follows.
  void abort();

  State state() const { return state_; }
  bool isComplete() const { return state_ == State::Complete; }
  bool isLoading() const { return state_ == State::Loading; }
  QUrl url() const { return url_; }
  int statusCode() const { return status_; }
  QByteArray body() const { return body_; }
  QByteArray contentType() const { return contentType_; }
  // The page's text as decoded characters, and as a browser shows it.
  QString text() const { return decodePage(body_, contentType_); }
  QString innerText() const { return pageText(body_, contentType_); }
  // The platform's description of the failure and its number (Failed only).
  QString errorString() const { return error_; }
  int errorCode() const { return errorCode_; }
  // The last request was refused by the password rule: nothing was sent.
  bool refused() const { return refused_; }

 signals:
  // The page arrived (Complete) or the request failed (Failed).
  void finished();

 private:
  void onFinished(QNetworkReply* reply);
  void onData(QNetworkReply* reply);
  void tooLarge();
  // Ends the running request as a failure and tells the listeners.
  void fail(const QString& description, int code);

  QNetworkAccessManager* manager_;
  QPointer<QNetworkReply> reply_;
  QTimer* deadline_;
  quint64 generation_ = 0;  // which request a queued signal belongs to
  int timeoutMs_ = kDefaultDeadlineMs;
  State state_ = State::Idle;
  QUrl url_;
  int status_ = 0;
  QByteArray body_;
  QByteArray contentType_;
  QString error_;
  int errorCode_ = 0;
  bool refused_ = false;
};

}  // namespace vz
