#pragma once
#include <QString>
#include <chrono>
#include <sys/types.h>

namespace vz {

// How the CW keyer's thread is scheduled. The keyer asks for real time directly
// (SCHED_FIFO: root, or a user with a real-time limit); where that is refused it asks
// RealtimeKit on the system bus, which is how desktop programs get real time without
// root; where both refuse it goes on as an ordinary thread.
enum class CwScheduling { Pending, Fifo, RealtimeKit, Ordinary };

// "SCHED_FIFO", "RealtimeKit", "ordinary", "pending".
QString CwSchedulingName(CwScheduling s);

// The real-time priority the keyer asks for: above ordinary threads and the usual
// desktop audio threads' minimum, below the kernel's own real-time threads.
constexpr int kCwRealtimePriority = 10;

// The calling thread to SCHED_FIFO at `priority`; false when refused.
bool SetThisThreadFifo(int priority);

// The calling thread's kernel id, what RealtimeKit takes.
pid_t ThisThreadId();

// Where a question to the system bus gives up: at `deadline`, or at once when
// `cancelFd` (a descriptor, -1 for none) becomes readable.
struct BusLimits {
  std::chrono::steady_clock::time_point deadline;
  int cancelFd = -1;
};

// How long the keyer's question to RealtimeKit may take in all, the connection to the
// bus included: the service answers in milliseconds, and a bus that does not answer
// by then is not waited for.
constexpr std::chrono::milliseconds kCwRealtimeBudget{3000};

// Asks RealtimeKit (org.freedesktop.RealtimeKit1 on the system bus, at
// $DBUS_SYSTEM_BUS_ADDRESS when set) to make the thread `tid` of this process
// real-time. It keeps to the limits the service states: the priority at most
// MaxRealtimePriority, and the process's RLIMIT_RTTIME lowered to RTTimeUSecMax (a
// real-time thread that runs that long without sleeping is stopped by the kernel; the
// keyer sleeps between elements and spins a few milliseconds at most). Everything,
// the connection included, happens within `limits`: a stalled bus costs at most that.
// Never called on the window's thread. False with the reason in `why` when refused,
// the service is not there or the limits were reached.
bool AskRealtimeKit(pid_t tid, int priority, const BusLimits& limits, QString* why = nullptr);

// The calling thread's stack, `bytes` of it below the current frame, touched and
// locked in memory, so no page fault of its own delays an element. Locking may be
// refused (the user's locked-memory limit); touching alone still helps. Returns the
// locked range for UnlockStack, or an empty range.
struct LockedRange {
  void* start = nullptr;
  size_t length = 0;
};
LockedRange PrefaultAndLockStack(size_t bytes);
// `object` of `size` bytes locked in memory; an empty range when refused.
LockedRange LockMemory(const void* object, size_t size);
void Unlock(const LockedRange& r);

// The operator is told once per run that the keying may waver: true the first time.
bool TakeCwTimingNotice();
// For tests: the notice may be taken again.
void ResetCwTimingNoticeForTests();

}  // namespace vz
