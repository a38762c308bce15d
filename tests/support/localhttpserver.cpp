#include "support/localhttpserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <stdexcept>

namespace vz::test {

QByteArray LocalHttpServer::Request::path() const {
  const qsizetype q = target.indexOf('?');
  return q < 0 ? target : target.left(q);
}

QByteArray LocalHttpServer::Request::query() const {
  const qsizetype q = target.indexOf('?');
  return q < 0 ? QByteArray() : target.mid(q + 1);
}

LocalHttpServer::LocalHttpServer() {
  if (!server_.listen(QHostAddress::LocalHost, 0)) throw std::runtime_error("cannot listen");
  connect(&server_, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

LocalHttpServer::~LocalHttpServer() { server_.close(); }

QString LocalHttpServer::base(const QString& prefix) const {
  return QStringLiteral("http://127.0.0.1:%1").arg(port()) + prefix;
}

void LocalHttpServer::onConnection() {
  while (QTcpSocket* s = server_.nextPendingConnection()) {
    s->setParent(this);
    connect(s, &QTcpSocket::readyRead, this, [this, s] { onData(s); });
    connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
  }
}

void LocalHttpServer::onData(QTcpSocket* s) {
  QByteArray buf = s->property("buf").toByteArray() + s->readAll();
  s->setProperty("buf", buf);
  if (!buf.contains("\r\n\r\n")) return;  // only GET requests: no body to wait for
  s->setProperty("buf", QByteArray());
  const QList<QByteArray> first = buf.left(buf.indexOf("\r\n")).split(' ');
  Request r;
  r.method = first.value(0);
  r.target = first.value(1);
  requests << r;
  const Reply reply = replies.isEmpty() ? defaultReply : replies.dequeue();
  emit requestReceived();
  if (reply.silent) return;
  QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\n";
  out += "Content-Type: " + reply.contentType + "\r\n";
  out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
  out += "Connection: close\r\n\r\n";
  out += reply.body;
  auto send = [s = QPointer<QTcpSocket>(s), out] {
    if (!s) return;
    s->write(out);
    s->disconnectFromHost();
  };
  if (reply.delayMs > 0) QTimer::singleShot(reply.delayMs, this, send);
  else send();
}

}  // namespace vz::test
