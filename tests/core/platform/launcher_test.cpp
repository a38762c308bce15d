#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <optional>

#include "platform/launcher.h"
#include "platform/textfile.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"

using namespace vz;

namespace {

// Points the desktop's lookup folders at a temporary tree for one test.
class FakeDesktop {
 public:
  FakeDesktop() {
    for (const char* v : kVars) saved_ << qgetenv(v);
    set("XDG_CONFIG_HOME", "config");
    set("XDG_CONFIG_DIRS", "etc");
    set("XDG_DATA_HOME", "data");
    set("XDG_DATA_DIRS", "share");
    qputenv("XDG_CURRENT_DESKTOP", "Test:Other");
    QDir(dir_.path()).mkpath("bin");
    QDir(dir_.path()).mkpath("data/applications");
    QDir(dir_.path()).mkpath("share/applications");
    savedPath_ = qgetenv("PATH");
    qputenv("PATH", (dir_.filePath("bin") + ":" + savedPath_).toLocal8Bit());
  }
  ~FakeDesktop() {
    for (int i = 0; i < 5; ++i) qputenv(kVars[i], saved_[i]);
    qputenv("PATH", savedPath_);
  }
  void write(const QString& relative, const QString& text) {
    QFileInfo fi(dir_.filePath(relative));
    QDir().mkpath(fi.absolutePath());
    QFile f(fi.absoluteFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
  }
  // An executable stand-in for an editor, found through PATH.
  void program(const QString& name) {
    write("bin/" + name, "#!/bin/sh\n");
    QFile::setPermissions(dir_.filePath("bin/" + name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void app(const QString& id, const QString& body) {
    write("share/applications/" + id, "[Desktop Entry]\nType=Application\n" + body);
  }

 private:
  void set(const char* var, const char* sub) { qputenv(var, dir_.filePath(sub).toLocal8Bit()); }
  static constexpr const char* kVars[5] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                           "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
  QTemporaryDir dir_;
  QList<QByteArray> saved_;
  QByteArray savedPath_;
};

}  // namespace

TEST(Launcher, ExecLineExpansion) {
  const QString p = "/home/op/mis logs/log 1.adi";
  struct Case {
    QString exec;
    std::optional<QStringList> args;
  } cases[] = {
      {"gedit %U", QStringList{"gedit", "file:///home/op/mis%20logs/log%201.adi"}},
      {"kate -b %f", QStringList{"kate", "-b", p}},
      {"mousepad", QStringList{"mousepad", p}},                             // no field code: file added
      {"editor --icon %i --name=%c %F", QStringList{"editor", "--icon", "--name=", p}},
      {"\"/opt/my editor/ed\" --x=\"a \\\"b\\\"\" %f", QStringList{"/opt/my editor/ed", "--x=a \"b\"", p}},
      {"ed 100%% %f", QStringList{"ed", "100%", p}},
      {"ed --file=%f", QStringList{"ed", "--file=" + p}},
      {"ed \"unclosed %f", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(desktop::expandExec(c.exec, p), c.args) << c.exec.toStdString();
}

TEST(Launcher, TextEditorFromTheDesktopsDefaults) {
  FakeDesktop d;
  d.program("ed-one");
  d.program("ed-two");
  d.app("one.desktop", "Exec=ed-one %F\n");
  d.app("two.desktop", "Exec=ed-two --new-window %U\n");
  d.app("vi.desktop", "Exec=vi %F\nTerminal=true\n");
  d.write("share/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=one.desktop;\n");
  EXPECT_EQ(desktop::textEditorCommand("/tmp/a.adi"), (QStringList{"ed-one", "/tmp/a.adi"}));

  // The user's defaults come before the system's; a terminal program is passed over.
  d.write("etc/mimeapps.list", "[Default Applications]\ntext/plain=two.desktop\n");
  d.write("config/mimeapps.list",
          "# mine\n[Added Associations]\ntext/plain=one.desktop;\n[Default Applications]\n"
          "text/html=one.desktop\ntext/plain=vi.desktop;two.desktop;\n");
  EXPECT_EQ(desktop::textEditorCommand("/tmp/a.adi"),
            (QStringList{"ed-two", "--new-window", "file:///tmp/a.adi"}));

  // A desktop's own list wins over the general one.
  d.write("config/test-mimeapps.list", "[Default Applications]\ntext/plain=one.desktop\n");
  EXPECT_EQ(desktop::textEditorCommand("/tmp/a.adi"), (QStringList{"ed-one", "/tmp/a.adi"}));
}

TEST(Launcher, NoUsableTextEditor) {
  FakeDesktop d;
  EXPECT_FALSE(desktop::textEditorCommand("/tmp/a.adi").has_value());
  d.app("gone.desktop", "Exec=no-such-editor-here %f\n");
  d.app("hidden.desktop", "Exec=sh %f\nHidden=true\n");
  d.app("try.desktop", "TryExec=no-such-editor-here\nExec=sh %f\n");
  d.write("config/mimeapps.list", "[Default Applications]\ntext/plain=gone.desktop;hidden.desktop;try.desktop;missing.desktop\n");
  EXPECT_FALSE(desktop::textEditorCommand("/tmp/a.adi").has_value());
}

TEST(Launcher, StartsAProgramWithArgumentsAsGiven) {
  QTemporaryDir dir;
  // Blanks, quotes and shell characters reach the program untouched.
  const QString target = dir.filePath("a b $(x) 'c'.txt");
  ASSERT_TRUE(launcher().startProgram("touch", {target}));
  for (int i = 0; i < 200 && !QFile::exists(target); ++i) QThread::msleep(10);
  EXPECT_TRUE(QFile::exists(target));
  EXPECT_FALSE(launcher().startProgram(dir.filePath("no-such-program"), {}));
}

TEST(Launcher, RecordingDoubleTakesOverWhileItLives) {
  {
    test::RecordingLauncher rec;
    EXPECT_TRUE(launcher().openUrl(QUrl("https://example.org/pass.htm")));
    EXPECT_TRUE(launcher().openDocument("/x/Vantorel Zezeror 2.pdf"));
    EXPECT_TRUE(launcher().openInTextEditor("/x/log.adi"));
    rec.answer = false;
    EXPECT_FALSE(launcher().startProgram("tarjos", {"a", "b c"}));
    ASSERT_EQ(rec.calls.size(), 4);
    EXPECT_EQ(rec.calls[0].kind, test::RecordingLauncher::Kind::Url);
    EXPECT_EQ(rec.calls[0].target, "https://example.org/pass.htm");
    EXPECT_EQ(rec.calls[2].kind, test::RecordingLauncher::Kind::TextEditor);
    EXPECT_EQ(rec.calls[3].arguments, (QStringList{"a", "b c"}));
  }
  EXPECT_EQ(dynamic_cast<DesktopLauncher*>(&launcher()) != nullptr, true);
}

namespace {

// PATH holds only an empty folder and no browser is named in the environment, so the
// desktop finds no opener.
class NoDesktopOpener {
 public:
  NoDesktopOpener() {
    for (const char* v : kVars) {
      saved_ << qgetenv(v);
      had_ << qEnvironmentVariableIsSet(v);
      qunsetenv(v);
    }
    qputenv("PATH", dir_.path().toLocal8Bit());
  }
  ~NoDesktopOpener() {
    for (int i = 0; i < 4; ++i)
      if (had_[i]) qputenv(kVars[i], saved_[i]);
  }

 private:
  static constexpr const char* kVars[4] = {"PATH", "BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP"};
  QTemporaryDir dir_;
  QList<QByteArray> saved_;
  QList<bool> had_;
};

}  // namespace

// Nothing on the desktop can open a page or file: the operator is told what could
// not be opened instead of nothing happening at all.
TEST(DesktopLauncher, SaysWhatCouldNotBeOpened) {
  NoDesktopOpener env;
  test::ScriptedDialogs dialogs;
  QTemporaryDir dir;
  const QString pdf = dir.filePath("Vantorel Zezeror 2.pdf");
  QFile f(pdf);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  DesktopLauncher desktop;
  const struct {
    std::function<bool()> open;
    QString named;
    QString reason;
  } cases[] = {
      {[&] { return desktop.openUrl(QUrl("https://example.org/pass.htm")); }, "https://example.org/pass.htm",
       "No hay en el escritorio un programa que lo abra."},
      {[&] { return desktop.openDocument(pdf); }, pdf, "No hay en el escritorio un programa que lo abra."},
      {[&] { return desktop.openInTextEditor(dir.filePath("log.adi")); }, dir.filePath("log.adi"),
       "El archivo no existe."},
      {[&] { return desktop.openDocument(dir.filePath("no.jpg")); }, dir.filePath("no.jpg"), "El archivo no existe."},
  };
  for (const auto& c : cases) {
    dialogs.clear();
    EXPECT_FALSE(c.open()) << c.named.toStdString();
    ASSERT_EQ(dialogs.messages.size(), 1) << c.named.toStdString();
    EXPECT_EQ(dialogs.messages[0].text, "No se pudo abrir:\r\n" + c.named + "\r\n\r\n" + c.reason);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Exclamation);
  }
}
