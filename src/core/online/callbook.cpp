#include "online/callbook.h"

#include "platform/services.h"

namespace vz {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The value of a tag as the operator reads it, or absent.
std::optional<QString> shown(const QString& page, const QString& name) {
  const std::optional<QString> v = ExtractTag(page, name);
  if (!v) return std::nullopt;
  return XmlUnescape(*v);
}

}  // namespace

std::optional<QString> ExtractTagText(const QString& page, const QString& openTag, const QString& closeTag) {
  if (!page.contains(closeTag, Qt::CaseSensitive)) return std::nullopt;
  const qsizetype open = page.indexOf(openTag, 0, Qt::CaseSensitive);
  if (open < 0) return std::nullopt;
  const qsizetype start = open + openTag.size();
  // A stray closing tag before the opening one must not give a negative length.
  const qsizetype close = page.indexOf(closeTag, start, Qt::CaseSensitive);
  if (close < 0) return std::nullopt;
  return page.mid(start, close - start);
}

std::optional<QString> ExtractTag(const QString& page, const QString& name) {
  return ExtractTagText(page, u'<' + name + u'>', QStringLiteral("</") + name + u'>');
}

QString XmlUnescape(const QString& value) {
  if (!value.contains(u'&')) return value;
  QString out;
  out.reserve(value.size());
  qsizetype i = 0;
  while (i < value.size()) {
    const QChar c = value[i];
    const qsizetype semi = c == u'&' ? value.indexOf(u';', i + 1) : -1;
    if (semi < 0 || semi - i > 10) {
      out += c;
      ++i;
      continue;
    }
    const QString ref = value.mid(i + 1, semi - i - 1);
    QString replacement;
    if (ref == u"amp") replacement = QStringLiteral("&");
    else if (ref == u"lt") replacement = QStringLiteral("<");
    else if (ref == u"gt") replacement = QStringLiteral(">");
    else if (ref == u"quot") replacement = QStringLiteral("\"");
    else if (ref == u"apos") replacement = QStringLiteral("'");
    else if (ref.startsWith(u'#') && ref.size() > 1) {
      bool ok = false;
      const uint code = ref[1] == u'x' || ref[1] == u'X' ? ref.mid(2).toUInt(&ok, 16) : ref.mid(1).toUInt(&ok, 10);
      if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
        const char32_t ch = code;
        replacement = QString::fromUcs4(&ch, 1);
      }
    }
    if (replacement.isEmpty()) {
      out += c;  // not a reference: the "&" stands as written
      ++i;
      continue;
    }
    out += replacement;
    i = semi + 1;
  }
  return out;
}

QrzLoginAnswer ReadQrzLogin(const QString& page) {
  QrzLoginAnswer a;
  a.error = shown(page, QStringLiteral("Error")).value_or(QString());
  a.key = ExtractTag(page, QStringLiteral("Key"));
  return a;
}

QString QrzResultText(const QString& page, const QString& lookupCall) {
  const std::optional<QString> call = shown(page, QStringLiteral("call"));
  if (!call) return lookupCall + QStringLiteral(" No está en ") + QStringLiteral("QRZ") + u'!';

  QString text = call->toUpper() + kCrLf;
  auto line = [&](const char* tag, const QString& label, bool upper = false) {
    const std::optional<QString> v = shown(page, QString::fromLatin1(tag));
    if (v) text += label + (upper ? v->toUpper() : *v) + kCrLf;
  };
  line("Count", QString(), true);
  line("aliases", QStringLiteral("Alias: "), true);
  // Given name and surname share one line; either alone still ends it.
  const std::optional<QString> fname = shown(page, QStringLiteral("fname"));
  const std::optional<QString> name = shown(page, QStringLiteral("name"));
  if (fname && name) text += *fname + u' ' + *name + kCrLf;
  else if (fname) text += *fname + kCrLf;
  else if (name) text += *name + kCrLf;
  line("addr1", QString());
  line("addr2", QString());
  line("state", QStringLiteral("Estado: "));
  line("country", QString());
  line("zip", QStringLiteral("ZIP: "));
  line("grid", QStringLiteral("Grid Locator: "));
  line("email", QStringLiteral("email: "));
  line("url", QStringLiteral("web: "));
  line("eqsl", QStringLiteral("eQSL: "));
  line("image", QStringLiteral("Imagen: "));
  return text;
}

RukLookupResult RukResult(const QString& page, const QString& lookupCall) {
  RukLookupResult r;
  const std::optional<QString> call = shown(page, QStringLiteral("call"));
  if (!call && page.contains(QStringLiteral("<?xml"), Qt::CaseSensitive)) {
    r.text = lookupCall + QStringLiteral(" No está en Ruk!");
    return r;
  }
  auto value = [&](const char* tag) { return shown(page, QString::fromLatin1(tag)); };
  if (call) r.text += call->toUpper() + kCrLf;
  if (const auto v = value("aliases")) r.text += QStringLiteral("Alias: ") + v->toUpper() + kCrLf;
  if (const auto v = value("name")) {
    r.nameLine = *v + kCrLf;
    r.text += r.nameLine;
  }
  if (const auto v = value("addr1")) r.text += *v + kCrLf;
  if (const auto v = value("addr2")) r.text += *v + kCrLf;
  if (const auto v = value("grid")) {
    r.grid = *v;
    r.text += QStringLiteral("Grid Locator: ") + *v + kCrLf;
  }
  if (const auto v = value("email")) {
    r.emailLine = *v + kCrLf;
    r.text += r.emailLine;
  }
  if (const auto v = value("ultimo")) r.text += QStringLiteral("último QSO: ") + *v;
  return r;
}

QUrl QrzLoginUrl(const QString& user, const QString& password) {
  return serviceUrl(Service::Qrz, QStringLiteral("/xml/"),
                    ServiceQuery(';').add(QStringLiteral("username"), user).add(QStringLiteral("password"), password));
}

QUrl QrzCallLookupUrl(const QString& key, const QString& call) {
  return serviceUrl(Service::Qrz, QStringLiteral("/xml/current/"),
                    ServiceQuery(';').add(QStringLiteral("s"), key).add(QStringLiteral("callsign"), call));
}

QUrl RukCallLookupUrl(const QString& call) {
  return serviceUrl(Service::Ruk, QStringLiteral("/php/vantorel_ruk.php"),
                    ServiceQuery().add(QStringLiteral("qrz"), call));
}

}  // namespace vz
