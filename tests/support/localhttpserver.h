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
// client's time-outs can be tested; a delayed one keeps the client waiting a while.
class LocalHttpServer : public QObject {
  Q_OBJECT
 public:
  struct Reply {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    bool silent = false;
    int delayMs = 0;  // answers this long after the request: a slow server
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

 signals:
  void requestReceived();

 private:
  void onConnection();
  void onData(QTcpSocket* socket);
  QTcpServer server_;
};

}  // namespace vz::test
