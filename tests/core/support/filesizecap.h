#pragma once
// Caps the size of any file this process writes, as a full disk would: a write past
// the cap is cut short (SIGXFSZ ignored, so the write returns what went out, then an
// error). Restores the earlier limit when it goes.
#include <csignal>
#include <sys/resource.h>

namespace vz::test {

class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit cap = previous_;
    cap.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &cap);
  }
  ~FileSizeCap() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeCap(const FileSizeCap&) = delete;
  FileSizeCap& operator=(const FileSizeCap&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace vz::test
