// POSIX signals and descriptors.
#include "driver/platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace telk {

namespace {

const char* g_temporary = nullptr;

extern "C" void remove_temporary_and_die(int sig) {
  if (g_temporary != nullptr && g_temporary[0] != '\0')
    unlink(g_temporary);  // async-signal-safe
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void guard_standard_streams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
      _exit(127);  // cannot happen unless descriptors are exhausted
  }
}

void handle_signals(const char* temporary) {
  g_temporary = temporary;
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    // A signal ignored by whoever started us (nohup, a background job)
    // stays ignored.
    if (signal(sig, remove_temporary_and_die) == SIG_IGN) signal(sig, SIG_IGN);
  }
}

}  // namespace telk
