#pragma once
// A program killed half-way through a write, for real: the step runs in a child
// process that the system ends (SIGXFSZ) as soon as it writes more than the given
// number of bytes to any file. What the child left on disk is what a killed program
// leaves.
#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vz::test {

// True when the child was killed by the cap, as intended.
inline bool killedWhileWriting(rlim_t bytes, const std::function<void()>& step) {
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_DFL);
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    rlimit cap{};
    getrlimit(RLIMIT_FSIZE, &cap);
    cap.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &cap);
    step();
    ::_exit(0);  // not killed: the parent says so
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}

}  // namespace vz::test
