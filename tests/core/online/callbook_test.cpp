#include <gtest/gtest.h>

#include <optional>

#include "online/callbook.h"

using namespace vz;

namespace {

const QString kXml = QStringLiteral("<?xml version=\"1.0\" ?>");

struct TagCase {
  const char* what;
  const char* page;
  const char* name;
  std::optional<const char*> value;
};

TEST(CallbookAnswers, TagRule) {
  const TagCase cases[] = {
      {"value between the tags", "<a><call>LU1ABC</call></a>", "call", "LU1ABC"},
      {"taken unchanged", "<name> Juan  Pérez </name>", "name", " Juan  Pérez "},
      {"empty element is present", "<Error></Error><Key>k</Key>", "Error", ""},
      {"no closing tag", "<call>LU1ABC", "call", std::nullopt},
      {"no opening tag", "LU1ABC</call>", "call", std::nullopt},
      {"letter case matters", "<Call>LU1ABC</Call>", "call", std::nullopt},
      {"first element wins", "<call>A</call><call>B</call>", "call", "A"},
      {"stray closing tag before the element", "</call>x<call>LU1ABC</call>", "call", "LU1ABC"},
      {"closing only before opening", "</call><call>LU1ABC", "call", std::nullopt},
      {"fname is not name", "<fname>Juan</fname>", "name", std::nullopt},
  };
  for (const TagCase& c : cases) {
    const std::optional<QString> got = ExtractTag(QString::fromUtf8(c.page), QString::fromLatin1(c.name));
    SCOPED_TRACE(c.what);
    ASSERT_EQ(got.has_value(), c.value.has_value());
    if (got) {
      EXPECT_EQ(*got, QString::fromUtf8(*c.value));
    }
  }
}

TEST(CallbookAnswers, CharacterReferencesReadAsTheirCharacters) {
  EXPECT_EQ(XmlUnescape("Smith &amp; Sons &lt;QRP&gt; &quot;x&quot; &apos;y&apos;"),
            QString("Smith & Sons <QRP> \"x\" 'y'"));
  EXPECT_EQ(XmlUnescape("Mar&#237;a &#xE9;"), QString("María é"));
  // A lone "&" or an unknown name stays as written.
  EXPECT_EQ(XmlUnescape("R&R &nbsp; &#xD800; &"), QString("R&R &nbsp; &#xD800; &"));
}

TEST(CallbookAnswers, QrzLogin) {
  const struct {
    const char* page;
    const char* error;
    std::optional<const char*> key;
  } cases[] = {
      {"<Session><Key>abc123</Key><Count>5</Count></Session>", "", "abc123"},
      {"<Session><Error></Error><Key>abc123</Key></Session>", "", "abc123"},
      {"<Session><Error>Username/password incorrect</Error><Key>abc</Key></Session>", "Username/password incorrect",
       "abc"},
      {"<Session><Error>Session Timeout</Error></Session>", "Session Timeout", std::nullopt},
      {"<html>Server error</html>", "", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    const QrzLoginAnswer a = ReadQrzLogin(QString::fromLatin1(c.page));
    EXPECT_EQ(a.error, QString::fromLatin1(c.error));
    ASSERT_EQ(a.key.has_value(), c.key.has_value());
    if (a.key) {
      EXPECT_EQ(*a.key, QString::fromLatin1(*c.key));
    }
  }
}

TEST(CallbookAnswers, QrzLookupText) {
  const QString full = kXml +
                       "<QRZDatabase><Session><Count>17</Count></Session><Callsign><call>lu1abc</call>"
                       "<aliases>lu1abc/p,ay1abc</aliases><fname>Juan</fname><name>P&#233;rez</name>"
                       "<addr1>Calle 1</addr1><addr2>La Plata</addr2><state>BA</state><zip>1900</zip>"
                       "<country>Argentina</country><grid>gf05tj</grid><email>juan@example.org</email>"
                       "<url>https://lu1abc.example.org</url><eqsl>1</eqsl><image>https://img/x.jpg</image>"
                       "</Callsign></QRZDatabase>";
  const struct {
    const char* what;
    QString page;
    QString text;
  } cases[] = {
      {"every tag, in its order, labels as shown", full,
       "LU1ABC\r\n17\r\nAlias: LU1ABC/P,AY1ABC\r\nJuan Pérez\r\nCalle 1\r\nLa Plata\r\nEstado: BA\r\n"
       "Argentina\r\nZIP: 1900\r\nGrid Locator: gf05tj\r\nemail: juan@example.org\r\n"
       "web: https://lu1abc.example.org\r\neQSL: 1\r\nImagen: https://img/x.jpg\r\n"},
      {"given name alone still ends its line", "<call>LU1ABC</call><fname>Juan</fname><addr2>La Plata</addr2>",
       "LU1ABC\r\nJuan\r\nLa Plata\r\n"},
      {"surname alone", "<call>LU1ABC</call><name>Pérez</name>", "LU1ABC\r\nPérez\r\n"},
      {"unknown call, other tags ignored", kXml + "<Session><Count>3</Count><Error>Not found: LU9XX</Error></Session>",
       "LU9XX No está en QRZ!"},
      {"a capitalised Call tag is not the call", "<Call>LU9XX</Call><fname>Juan</fname>", "LU9XX No está en QRZ!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(QrzResultText(c.page, "LU9XX"), c.text);
  }
}

TEST(CallbookAnswers, RukLookup) {
  const struct {
    const char* what;
    QString page;
    RukLookupResult result;
  } cases[] = {
      {"every tag; the e-mail has no label and the last line no line break",
       kXml + "<ruk><call>lu1abc</call><aliases>ay1abc</aliases><name>Juan Pérez</name><addr1>Calle 1</addr1>"
              "<addr2>La Plata</addr2><grid>GF05tj</grid><email>juan@example.org</email>"
              "<ultimo>05/06/2024</ultimo></ruk>",
       {"LU1ABC\r\nAlias: AY1ABC\r\nJuan Pérez\r\nCalle 1\r\nLa Plata\r\nGrid Locator: GF05tj\r\n"
        "juan@example.org\r\núltimo QSO: 05/06/2024",
        "Juan Pérez\r\n", "juan@example.org\r\n", "GF05tj"}},
      {"unknown call: one line, no values", kXml + "<ruk><name>nadie</name></ruk>",
       {"LU9XX No está en Ruk!", "", "", ""}},
      {"not an XML page: whatever tags it holds", "<html>Error <grid>FF78</grid></html>",
       {"Grid Locator: FF78\r\n", "", "", "FF78"}},
      {"an error page without tags gives nothing", "No se puede mostrar la página", {"", "", "", ""}},
      {"name with a reference", kXml + "<call>LU1ABC</call><name>Juan &amp; Ana</name>",
       {"LU1ABC\r\nJuan & Ana\r\n", "Juan & Ana\r\n", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const RukLookupResult r = RukResult(c.page, "LU9XX");
    EXPECT_EQ(r.text, c.result.text);
    EXPECT_EQ(r.nameLine, c.result.nameLine);
    EXPECT_EQ(r.emailLine, c.result.emailLine);
    EXPECT_EQ(r.grid, c.result.grid);
  }
}

TEST(CallbookAnswers, RequestsEncodeEveryValueOnce) {
  qputenv("VZ_URL_QRZ", "http://127.0.0.1:9");
  qputenv("VZ_URL_RUK", "http://127.0.0.1:9");
  const QByteArray login = QrzLoginUrl("mi usuario", "a&b;c%d#e f").toEncoded();
  const QByteArray lookup = QrzCallLookupUrl("k+1/2", "LU1ABC/P").toEncoded();
  const QByteArray ruk = RukCallLookupUrl("LU1ABC/P").toEncoded();
  qunsetenv("VZ_URL_QRZ");
  qunsetenv("VZ_URL_RUK");
  EXPECT_EQ(login, QByteArray("http://127.0.0.1:9/xml/?username=mi%20usuario;password=a%26b%3Bc%25d%23e%20f"));
  EXPECT_EQ(lookup, QByteArray("http://127.0.0.1:9/xml/current/?s=k%2B1%2F2;callsign=LU1ABC%2FP"));
  EXPECT_EQ(ruk, QByteArray("http://127.0.0.1:9/php/vantorel_ruk.php?qrz=LU1ABC%2FP"));
}

}  // namespace
