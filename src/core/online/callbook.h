#pragma once
#include <QString>
#include <QUrl>
#include <optional>

namespace vz {

// Answers of the call-book services are read as page text: the tags stand in it as
// text and are found by plain, case-sensitive search; there is no XML parser.

// The text between the first opening tag and the closing tag that follows it, taken
// unchanged (an empty value is present). Absent when the closing tag is nowhere in
// the page, when the opening tag is missing, or when no closing tag follows it.
std::optional<QString> ExtractTagText(const QString& page, const QString& openTag, const QString& closeTag);
// ExtractTagText for <name> ... </name>.
std::optional<QString> ExtractTag(const QString& page, const QString& name);

// Replaces the XML character references (&amp; &lt; &gt; &quot; &apos; &#N; &#xN;)
// of a value by the characters a browser shows for them.
QString XmlUnescape(const QString& value);

// What the QRZ login answer says: the service's error text (empty when there is
// none or the element is empty) and the login key when the answer carries one.
struct QrzLoginAnswer {
  QString error;
  std::optional<QString> key;
};
QrzLoginAnswer ReadQrzLogin(const QString& page);

// The lines shown for a QRZ lookup answer, or the not-found line for the call.
QString QrzResultText(const QString& page, const QString& lookupCall);

// What a Ruk lookup answer gives the result window: its text and the three values
// its copy buttons use (name and e-mail each with CR LF, the bare grid locator).
struct RukLookupResult {
  QString text;
  QString nameLine;
  QString emailLine;
  QString grid;
};
RukLookupResult RukResult(const QString& page, const QString& lookupCall);

// Request addresses. Every value is percent-encoded once, and the services are
// reached at their configured base (HTTPS), since these requests carry passwords
// and login keys.
QUrl QrzLoginUrl(const QString& user, const QString& password);
QUrl QrzCallLookupUrl(const QString& key, const QString& call);
QUrl RukCallLookupUrl(const QString& call);

}  // namespace vz
