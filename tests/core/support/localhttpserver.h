#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace vz::test {

// A small HTTP server on 127.0.0.1 for tests of everything that makes web requests.
// It records each request and answers with the planned replies in order (or the
// default reply when none is planned). A reply marked silent never answers, so the
// client's time-outs can be tested; a reply can also come late, trickle its body a
// byte at a time, or leave out its length so the client learns the size only while
// reading.
class LocalHttpServer : public QObject {
  Q_OBJECT
 public:
  struct Reply {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    bool silent = false;
    int delayMs = 0;     // the whole answer leaves this long after the request came
    int trickleMs = 0;   // headers at once, then one byte of the body every trickleMs
    bool sendLength = true;  // false: no Content-Length, the end of the body closes
  };
  struct Request {
    QByteArray method;
    QByteArray target;  // path and query exactly as sent
    QByteArray path() const;
    QByteArray query() const;  // without "?"
  };

  LocalHttpServer();
  ~LocalHttpServer() override;

  quint16 port() const { return server_.serverPort(); }
  // "http://127.0.0.1:port" followed by prefix.
  QString base(const QString& prefix = {}) const;

  QQueue<Reply> replies;
  Reply defaultReply;
  QList<Request> requests;
  // Bytes of answers written so far, over all connections.
  qint64 bytesSent = 0;

 signals:
  void requestReceived();

 private:
  void onConnection();
  void onData(QTcpSocket* socket);
  void answer(QTcpSocket* socket, const Reply& reply);
  void write(QTcpSocket* socket, const QByteArray& bytes);
  QTcpServer server_;
};

// While it lives, every request of the program goes through the server as an HTTP
// proxy, so a request to any host (not only 127.0.0.1) is seen and recorded: the
// recorded target is then the whole address ("http://host/path?query").
class ProxyThrough {
 public:
  explicit ProxyThrough(const LocalHttpServer& server);
  ~ProxyThrough();
  ProxyThrough(const ProxyThrough&) = delete;
  ProxyThrough& operator=(const ProxyThrough&) = delete;

 private:
  bool usedSystem_;
};

}  // namespace vz::test
