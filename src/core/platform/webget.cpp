#include "platform/webget.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTimer>

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

QString passwordRefusal(const QUrl& url) {
  if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) return {};
  const QString host = url.host();
  if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback()) return {};
  bool carries = !url.password().isEmpty();
  // "&" between pairs for most services, ";" for the QRZ XML service.
  static const QRegularExpression pairs(QStringLiteral("[&;]"));
  for (const QString& pair : url.query(QUrl::FullyEncoded).split(pairs, Qt::SkipEmptyParts)) {
    const QString key = QUrl::fromPercentEncoding(pair.section(u'=', 0, 0).toLatin1()).toLower();
    if (key.contains(QLatin1String("pass")) || key.contains(QLatin1String("pswd"))) carries = true;
  }
  if (!carries) return {};
  return QStringLiteral("No se envía la contraseña a %1://%2: la dirección no es segura, debe empezar con https://")
      .arg(url.scheme(), host);
}

WebGet::WebGet(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)), deadline_(new QTimer(this)) {
  deadline_->setSingleShot(true);
  connect(deadline_, &QTimer::timeout, this, [this] {
    fail(QStringLiteral("Tiempo de espera agotado (%1)").arg(url_.host()), int(QNetworkReply::TimeoutError));
  });
}

WebGet::~WebGet() { abort(); }

void WebGet::get(const QUrl& url) {
  abort();
  url_ = url;
  status_ = 0;
  body_.clear();
  contentType_.clear();
  error_.clear();
  errorCode_ = 0;
  refused_ = false;
  state_ = State::Loading;

  if (const QString why = passwordRefusal(url); !why.isEmpty()) {
    refused_ = true;
    error_ = why;
    errorCode_ = int(QNetworkReply::ProtocolInvalidOperationError);
    state_ = State::Failed;
    // Reported from the event loop, as a network failure would be; a newer request
    // or abort() in between cancels it.
    const quint64 request = generation_;
    QMetaObject::invokeMethod(
        this, [this, request] { if (request == generation_) emit finished(); }, Qt::QueuedConnection);
    return;
  }

  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = manager_->get(request);
  reply_ = reply;
  // The answer is read as it comes, so an oversized one is stopped early.
  connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
    if (reply != reply_.data()) return;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxAnswerBytes) tooLarge();
  });
  connect(reply, &QNetworkReply::readyRead, this, [this, reply] { onData(reply); });
  connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
  if (timeoutMs_ > 0) deadline_->start(timeoutMs_);
}

void WebGet::abort() {
  ++generation_;
  deadline_->stop();
  if (QNetworkReply* r = reply_.data()) {
    reply_.clear();
    r->disconnect(this);
    r->abort();
    r->deleteLater();
  }
  if (state_ == State::Loading) state_ = State::Idle;
}

void WebGet::tooLarge() {
  fail(QStringLiteral("La respuesta de %1 supera el tamaño máximo (1 MB)").arg(url_.host()),
       int(QNetworkReply::UnknownContentError));
}

void WebGet::fail(const QString& description, int code) {
  const int status = status_;
  abort();
  body_.clear();  // never half a page
  status_ = status;
  error_ = description;
  errorCode_ = code;
  state_ = State::Failed;
  emit finished();
}

void WebGet::onData(QNetworkReply* reply) {
  if (reply != reply_.data()) return;
  body_ += reply->read(kMaxAnswerBytes + 1 - body_.size());
  if (body_.size() > kMaxAnswerBytes) tooLarge();
}

void WebGet::onFinished(QNetworkReply* reply) {
  reply->deleteLater();
  if (reply != reply_.data()) return;
  reply_.clear();
  deadline_->stop();
  status_ = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  contentType_ = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
  body_ += reply->read(kMaxAnswerBytes + 1 - body_.size());
  if (body_.size() > kMaxAnswerBytes || reply->bytesAvailable() > 0) return tooLarge();
  // A page the server sends with an error status still loads, as in a browser; only
  // a request that got no page fails.
  if (reply->error() != QNetworkReply::NoError && status_ == 0) {
    error_ = reply->errorString();
    errorCode_ = int(reply->error());
    state_ = State::Failed;
  } else {
    state_ = State::Complete;
  }
  emit finished();
}

}  // namespace vz
