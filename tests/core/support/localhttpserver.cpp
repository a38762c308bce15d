#include "support/localhttpserver.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
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
  if (reply.delayMs <= 0) return answer(s, reply);
  // The client may have given up meanwhile: the socket is then gone or closed.
  QPointer<QTcpSocket> socket(s);
  QTimer::singleShot(reply.delayMs, this, [this, socket, reply] {
    if (socket && socket->state() == QAbstractSocket::ConnectedState) answer(socket, reply);
  });
}

void LocalHttpServer::write(QTcpSocket* s, const QByteArray& bytes) {
  const qint64 n = s->write(bytes);
  if (n > 0) bytesSent += n;
}

void LocalHttpServer::answer(QTcpSocket* s, const Reply& reply) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\n";
  head += "Content-Type: " + reply.contentType + "\r\n";
  if (reply.sendLength) head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  if (reply.trickleMs <= 0) {
    write(s, head + reply.body);
    s->disconnectFromHost();
    return;
  }
  write(s, head);
  s->flush();
  QPointer<QTcpSocket> socket(s);
  auto* timer = new QTimer(s);
  timer->setInterval(reply.trickleMs);
  auto sent = std::make_shared<qsizetype>(0);
  connect(timer, &QTimer::timeout, this, [this, socket, timer, sent, body = reply.body] {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return timer->stop();
    if (*sent >= body.size()) {
      timer->stop();
      socket->disconnectFromHost();
      return;
    }
    write(socket, body.mid((*sent)++, 1));
    socket->flush();
  });
  timer->start();
}

ProxyThrough::ProxyThrough(const LocalHttpServer& server)
    : usedSystem_(QNetworkProxyFactory::usesSystemConfiguration()) {
  QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), server.port()));
}

ProxyThrough::~ProxyThrough() {
  QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
  QNetworkProxyFactory::setUseSystemConfiguration(usedSystem_);
}

}  // namespace vz::test
