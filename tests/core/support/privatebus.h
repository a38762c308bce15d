#pragma once
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <linux/capability.h>

namespace vz::test {

// A dbus-daemon of the test's own, standing for the system bus: anyone may own any
// name and send anything. Killed with the test process, even one that crashes, so a
// stopped daemon is never left behind.
class PrivateBus {
 public:
  PrivateBus();
  // Continued first when stopped, then ended.
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  // Empty when the daemon did not start.
  QString address() const { return address_; }
  QString socketPath() const { return dir_.filePath(QStringLiteral("bus")); }
  // The daemon stopped (SIGSTOP): it takes connections into its backlog and never
  // answers them, as a hung or stalled one does.
  void stop();
  // Connections made to the bus that the daemon has not taken yet, or has taken
  // and not closed: what a stopped daemon's clients are waiting on.
  int connectionsToSocket() const;

 private:
  QTemporaryDir dir_;
  QProcess process_;
  QString address_;
  bool stopped_ = false;
};

// CAP_SYS_NICE out of this thread's effective set while it lives, and the process's
// RLIMIT_RTPRIO at 0 for good: threads started meanwhile are refused SCHED_FIFO as an
// ordinary user is. The thread itself gets the capability back afterwards.
class WithoutRealtimeRights {
 public:
  WithoutRealtimeRights();
  ~WithoutRealtimeRights();
  WithoutRealtimeRights(const WithoutRealtimeRights&) = delete;
  WithoutRealtimeRights& operator=(const WithoutRealtimeRights&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
};

}  // namespace vz::test
