#include "support/privatebus.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vz::test {

PrivateBus::PrivateBus() {
  const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
  if (daemon.isEmpty()) return;
  const QString config = dir_.filePath(QStringLiteral("bus.conf"));
  QFile f(config);
  if (!f.open(QIODevice::WriteOnly)) return;
  f.write(QStringLiteral(
              "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
              "<busconfig><type>system</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
              "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
              "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n")
              .arg(socketPath())
              .toUtf8());
  f.close();
  process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
  process_.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                          QStringLiteral("--print-address=1")});
  if (!process_.waitForStarted(5000)) return;
  QElapsedTimer t;
  t.start();
  while (!process_.canReadLine() && t.elapsed() < 5000) process_.waitForReadyRead(100);
  address_ = QString::fromUtf8(process_.readLine()).trimmed();
}

PrivateBus::~PrivateBus() {
  if (process_.state() == QProcess::NotRunning) return;
  if (stopped_) ::kill(pid_t(process_.processId()), SIGCONT);
  process_.terminate();
  if (!process_.waitForFinished(3000)) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

void PrivateBus::stop() {
  if (process_.state() != QProcess::Running) return;
  stopped_ = true;
  ::kill(pid_t(process_.processId()), SIGSTOP);
}

int PrivateBus::connectionsToSocket() const {
  // The listening socket is listed with its path, and so is every connection made to
  // it, accepted or not.
  QFile table(QStringLiteral("/proc/net/unix"));
  if (!table.open(QIODevice::ReadOnly)) return -1;
  const QByteArray path = socketPath().toLocal8Bit();
  int n = 0;
  for (const QByteArray& line : table.readAll().split('\n')) {
    if (line.trimmed().endsWith(' ' + path)) ++n;
  }
  return n - 1;
}

WithoutRealtimeRights::WithoutRealtimeRights() {
  rlimit rl{};
  getrlimit(RLIMIT_RTPRIO, &rl);
  rl.rlim_cur = 0;
  setrlimit(RLIMIT_RTPRIO, &rl);
  syscall(SYS_capget, &header_, saved_);
  __user_cap_data_struct dropped[2] = {saved_[0], saved_[1]};
  dropped[0].effective &= ~(1u << CAP_SYS_NICE);
  syscall(SYS_capset, &header_, dropped);
}

WithoutRealtimeRights::~WithoutRealtimeRights() { syscall(SYS_capset, &header_, saved_); }

}  // namespace vz::test
