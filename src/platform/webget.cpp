#include "platform/webget.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>

#include "platform/cp1252.h"

namespace vz {
namespace {

QByteArray charsetOf(const QByteArray& body, const QByteArray& contentType) {
  static const QRegularExpression header(QStringLiteral("charset\\s*=\\s*\"?([A-Za-z0-9_.:-]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
  auto m = header.match(QString::fromLatin1(contentType));
  if (m.hasMatch()) return m.captured(1).toLatin1();
  // <meta charset="..."> or <?xml encoding="..."?> near the start of the page.
  static const QRegularExpression inPage(
      QStringLiteral("(?:charset|encoding)\\s*=\\s*[\"']?([A-Za-z0-9_.:-]+)"),
      QRegularExpression::CaseInsensitiveOption);
  m = inPage.match(QString::fromLatin1(body.left(2048)));
  if (m.hasMatch()) return m.captured(1).toLatin1();
  return {};
}

bool looksLikeHtml(const QByteArray& body, const QByteArray& contentType) {
  const QByteArray type = contentType.toLower();
  if (type.contains("html")) return true;
  if (!type.isEmpty()) return false;
  const QByteArray start = body.left(512).trimmed().toLower();
  return start.startsWith("<!doctype html") || start.startsWith("<html") ||
         start.contains("<body");
}

}  // namespace

QString decodePage(const QByteArray& body, const QByteArray& contentType) {
  const QByteArray charset = charsetOf(body, contentType).toLower();
  if (charset == "windows-1252" || charset == "cp1252" || charset == "iso-8859-1" ||
      charset == "latin1" || charset == "us-ascii")
    return decodeCp1252(body);
  if (!charset.isEmpty()) {
    QStringDecoder d(charset.constData());
    if (d.isValid()) return d.decode(body);
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(body);
  if (!utf8.hasError()) return text;
  return decodeCp1252(body);
}

QString pageText(const QByteArray& body, const QByteArray& contentType) {
  const QString text = decodePage(body, contentType);
  if (!looksLikeHtml(body, contentType)) return text;
  QTextDocument doc;
  doc.setHtml(text);
  QString plain = doc.toPlainText();
  plain.replace(QChar::Nbsp, u' ');
  return plain.trimmed();
}

WebGet::WebGet(QObject* parent) : QObject(parent), manager_(new QNetworkAccessManager(this)) {}

WebGet::~WebGet() { abort(); }

void WebGet::get(const QUrl& url) {
  abort();
  url_ = url;
  status_ = 0;
  body_.clear();
  contentType_.clear();
  error_.clear();
  errorCode_ = 0;
  state_ = State::Loading;
  QNetworkRequest request(url);
  request.setTransferTimeout(timeoutMs_);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = manager_->get(request);
  reply_ = reply;
  connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
}

void WebGet::abort() {
  if (QNetworkReply* r = reply_.data()) {
    reply_.clear();
    r->disconnect(this);
    r->abort();
    r->deleteLater();
  }
  if (state_ == State::Loading) state_ = State::Idle;
}

void WebGet::onFinished(QNetworkReply* reply) {
  reply->deleteLater();
  if (reply != reply_.data()) return;
  reply_.clear();
  status_ = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  contentType_ = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
  body_ = reply->readAll();
  // A page the server sends with an error status still loads, as in a browser; only
  // a request that got no page fails.
  if (reply->error() != QNetworkReply::NoError && status_ == 0) {
    error_ = reply->errorString();
    errorCode_ = int(reply->error());
    if (reply->error() == QNetworkReply::OperationCanceledError)
      error_ = QStringLiteral("Tiempo de espera agotado (%1)").arg(url_.host());
    state_ = State::Failed;
  } else {
    state_ = State::Complete;
  }
  emit finished();
}

}  // namespace vz
