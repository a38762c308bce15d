#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace vz {

// The text a browser would show for a page: for HTML the rendered text of the
// body (as innerText gives it), for anything else the text as it came.
QString pageText(const QByteArray& body, const QByteArray& contentType);
// The body decoded by the charset the server or the page names; without one, UTF-8
// when the bytes are valid UTF-8, else Windows-1252.
QString decodePage(const QByteArray& body, const QByteArray& contentType);

// One asynchronous GET channel, used where the program loads a page and waits for it
// or reacts when it arrives. Starting a new request abandons the running one.
class WebGet : public QObject {
  Q_OBJECT
 public:
  enum class State { Idle, Loading, Complete, Failed };

  explicit WebGet(QObject* parent = nullptr);
  ~WebGet() override;

  // Time-out of a request in milliseconds (0: none). Default 30 s.
  void setTimeout(int ms) { timeoutMs_ = ms; }
  int timeout() const { return timeoutMs_; }

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

 signals:
  // The page arrived (Complete) or the request failed (Failed).
  void finished();

 private:
  void onFinished(QNetworkReply* reply);

  QNetworkAccessManager* manager_;
  QPointer<QNetworkReply> reply_;
  int timeoutMs_ = 30000;
  State state_ = State::Idle;
  QUrl url_;
  int status_ = 0;
  QByteArray body_;
  QByteArray contentType_;
  QString error_;
  int errorCode_ = 0;
};

}  // namespace vz
