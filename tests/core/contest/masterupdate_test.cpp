#include "contest/masterupdate.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/services.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using namespace vz::test;

namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class MasterUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = state();
    state().MasterCalls.clear();
    state().MasterCallCount = 0;
    state().MasterListDate = QDate();
    savedSite = qgetenv(serviceEnvironmentVariable(Service::WebSite));
    qputenv(serviceEnvironmentVariable(Service::WebSite), server.base().toUtf8());
  }
  void TearDown() override {
    state() = saved;
    qputenv(serviceEnvironmentVariable(Service::WebSite), savedSite);
  }

  void serve(const QByteArray& body, int status = 200) {
    LocalHttpServer::Reply r;
    r.status = status;
    r.contentType = "text/plain";
    r.body = body;
    server.replies.enqueue(r);
  }
  // The program's own address of the list, on the site the environment names.
  QUrl url() const { return MasterListUrl(); }

  ProgramState saved;
  QByteArray savedSite;
  TempFolder folder{false};
  ScriptedDialogs dialogs;
  LocalHttpServer server;
};

TEST(MasterListWebDate, TheDateFollowsTheHash) {
  const struct {
    const char* line;
    QDate date;
  } cases[] = {
      {"#15/03/2024\n", QDate(2024, 3, 15)},
      {"#01/12/2023", QDate(2023, 12, 1)},
      {"#5/3/2024\nLU1AA\nLU2BB\n", QDate(2024, 3, 5)},
      {"15/03/2024", QDate()},
      {"#sin fecha\n", QDate()},
      {"", QDate()},
  };
  for (const auto& c : cases) EXPECT_EQ(MasterListWebDate(c.line).value_or(QDate()), c.date) << c.line;
}

TEST_F(MasterUpdate, ANewerListReplacesTheFileAndIsLoaded) {
  state().MasterListDate = QDate(2024, 1, 10);
  folder.writeLines("master.txt", {"#10/01/2024", "LU7OLD"});
  serve("#15/03/2024\n  lu1aa \nLU2BB\n");

  EXPECT_EQ(UpdateMasterList(url(), 5000), MasterUpdateResult::Replaced);
  ASSERT_EQ(server.requests.size(), 1);
  EXPECT_EQ(server.requests[0].path(), "/assets/zezeror/master.txt");
  const QByteArray buffer = "#15/03/2024\n\r  lu1aa \n\rLU2BB\n\r\r\n";
  EXPECT_EQ(bytesOf(folder.file("webomc.txt")), buffer);
  EXPECT_EQ(bytesOf(folder.file("master.txt")), buffer);
  // Each call keeps its line's line feed; blanks go only at the line's ends.
  EXPECT_EQ(state().MasterCalls, (QStringList{"LU1AA", "LU2BB"}));
  EXPECT_EQ(state().MasterListDate, QDate(2024, 3, 15));
  EXPECT_EQ(dialogs.texts(), QStringList{"Su archivo Master check con fecha 10/01/2024 estaba desacualizado!\r\n\r\n"
                                         "en la web tiene fecha: 15/03/2024\r\n\r\nYa está actualizado!"});
  EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(MasterCheckCaption(state().MasterCallCount), "MasterCheck (2)");
}

// Without a list there is no date line: the message gives the zero date rather
// than leaving a gap.
TEST_F(MasterUpdate, WithoutAListTheMessageGivesTheZeroDate) {
  serve("#15/03/2024\nLU1AA\n");
  EXPECT_EQ(UpdateMasterList(url(), 5000), MasterUpdateResult::Replaced);
  EXPECT_EQ(dialogs.texts(), QStringList{"Su archivo Master check con fecha 30/12/1899 estaba desacualizado!\r\n\r\n"
                                         "en la web tiene fecha: 15/03/2024\r\n\r\nYa está actualizado!"});
}

// "MasterCheck (N)" counts calls: empty lines, also those that keep only their
// line feed or blanks, are no entries, so a list ending with a line feed of N calls
// gives N. The update's reload and the start-up reading of the file it wrote agree.
TEST_F(MasterUpdate, TheCountIsTheNumberOfCalls) {
  const struct {
    const char* what;
    QByteArray body;
    QStringList calls;
  } cases[] = {
      {"ending with a line feed", "#15/03/2024\nLU1AA\nLU2BB\nLU3CC\n", {"LU1AA", "LU2BB", "LU3CC"}},
      {"an empty line inside", "#15/03/2024\nLU1AA\n\nLU2BB\n", {"LU1AA", "LU2BB"}},
      {"a line of blanks inside", "#15/03/2024\nLU1AA\n   \nLU2BB\n", {"LU1AA", "LU2BB"}},
      {"empty lines with CR LF", "#15/03/2024\r\nLU1AA\r\n\r\nLU2BB\r\n", {"LU1AA", "LU2BB"}},
      {"no line feed at the end", "#15/03/2024\nLU1AA\nLU2BB", {"LU1AA", "LU2BB"}},
  };
  for (const auto& c : cases) {
    state().MasterListDate = QDate();
    serve(c.body);
    EXPECT_EQ(UpdateMasterList(url(), 5000), MasterUpdateResult::Replaced) << c.what;
    EXPECT_EQ(state().MasterCalls, c.calls) << c.what;
    EXPECT_EQ(MasterCheckCaption(state().MasterCallCount),
              QStringLiteral("MasterCheck (%1)").arg(c.calls.size()))
        << c.what;

    state().MasterCalls.clear();
    state().MasterCallCount = 0;
    ASSERT_TRUE(LoadMasterList()) << c.what;
    EXPECT_EQ(state().MasterCalls, c.calls) << c.what;
    EXPECT_EQ(state().MasterCallCount, c.calls.size()) << c.what;
  }
}

TEST_F(MasterUpdate, WithoutAListInUseTheFirstDownloadIsTaken) {
  serve("#15/03/2024\nLU1AA\n");
  EXPECT_EQ(UpdateMasterList(url(), 5000), MasterUpdateResult::Replaced);
  EXPECT_EQ(state().MasterCalls, QStringList{"LU1AA"});
}

TEST_F(MasterUpdate, ASameOrOlderListKeepsTheFileAndReloadsIt) {
  const struct {
    const char* what;
    QByteArray body;
  } cases[] = {{"same date", "#15/03/2024\nLU9NEW\n"}, {"older", "#14/03/2024\nLU9NEW\n"}};
  for (const auto& c : cases) {
    dialogs.clear();
    folder.writeLines("master.txt", {"#15/03/2024", "LU1AA", "LU2BB"});
    state().MasterListDate = QDate(2024, 3, 15);
    state().MasterCalls.clear();
    serve(c.body);
    EXPECT_EQ(UpdateMasterList(url(), 5000), MasterUpdateResult::UpToDate) << c.what;
    EXPECT_EQ(bytesOf(folder.file("master.txt")), "#15/03/2024\r\nLU1AA\r\nLU2BB\r\n") << c.what;
    EXPECT_EQ(state().MasterCalls, (QStringList{"LU1AA", "LU2BB"})) << c.what;
    EXPECT_EQ(dialogs.texts(), QStringList{"Su archivo Master check con fecha 15/03/2024 está acualizado!"})
        << c.what;
  }
}

TEST_F(MasterUpdate, AFailedDownloadKeepsEverything) {
  const struct {
    const char* what;
    QByteArray body;
    int status;
    bool silent;
  } cases[] = {
      {"not found", "#15/03/2024\nLU1AA\n", 404, false},
      {"empty answer", "", 200, false},
      {"no date line", "LU1AA\nLU2BB\n", 200, false},
      {"no answer in time", "", 200, true},
  };
  for (const auto& c : cases) {
    dialogs.clear();
    folder.writeLines("master.txt", {"#10/01/2024", "LU1AA"});
    state().MasterListDate = QDate(2024, 1, 10);
    state().MasterCalls = QStringList{"LU1AA"};
    LocalHttpServer::Reply r;
    r.status = c.status;
    r.body = c.body;
    r.silent = c.silent;
    server.replies.enqueue(r);
    EXPECT_EQ(UpdateMasterList(url(), 300), MasterUpdateResult::Failed) << c.what;
    EXPECT_EQ(bytesOf(folder.file("master.txt")), "#10/01/2024\r\nLU1AA\r\n") << c.what;
    EXPECT_FALSE(folder.exists("webomc.txt")) << c.what;
    EXPECT_EQ(state().MasterCalls, QStringList{"LU1AA"}) << c.what;
    EXPECT_EQ(state().MasterListDate, QDate(2024, 1, 10)) << c.what;
    ASSERT_EQ(dialogs.messages.size(), 1) << c.what;
    EXPECT_TRUE(dialogs.lastText().startsWith("No se pudo actualizar el archivo Master check!\r\n")) << c.what;
  }
}

}  // namespace
