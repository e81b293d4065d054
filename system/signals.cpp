// What every system shares of signals: the nesting of held signals, which
// signals end a run, the names of the temporary files that their handler
// removes, and what it does.  The calls are in posix.cpp and windows.cpp.
#include <atomic>
#include <csignal>

#include "system/platform.h"

namespace telk {

namespace {

// The names of the run's temporary files while they would outlive the
// process, for the signal handlers; null where there is none.  A name is
// published with one store once the file exists under it, and withdrawn
// before the file is renamed or removed, so that a handler never sees a
// name half made, nor one that is no longer the run's own file.  A run
// writes at most two files at once.
constexpr int kSlots = 4;
std::atomic<const char*> g_published[kSlots];

// The wipe of the line shown on standard error, null for none.
std::atomic<const char*> g_wipe;

// How deep the calling thread's holds nest.
thread_local int t_holds = 0;

// Every signal whose default action ends the process and that can be
// caught, but for the two made into write errors (SIGPIPE, SIGXFSZ).  On
// Windows the C runtime raises SIGINT for Ctrl+C, SIGBREAK for Ctrl+Break
// or a closing console window, on a thread of its own.
template <typename Each>
void for_each_ending_signal(Each each) {
  for (const int sig : {SIGINT, SIGTERM, SIGABRT}) each(sig);
#ifdef _WIN32
  each(SIGBREAK);
#else
  for (const int sig : {SIGHUP, SIGQUIT, SIGILL, SIGTRAP, SIGBUS, SIGFPE, SIGUSR1, SIGSEGV,
                        SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSYS})
    each(sig);
#endif
#ifdef __linux__
  for (const int sig : {SIGSTKFLT, SIGPOLL, SIGPWR}) each(sig);
#endif
#ifdef SIGRTMIN
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) each(sig);  // real-time
#endif
}

void remove_published() {
  for (std::atomic<const char*>& slot : g_published) {
    const char* name = slot.exchange(nullptr);
    if (name != nullptr) os::remove_file(name);
  }
}

extern "C" void remove_temporaries_and_die(int sig) {
  // A signal that a held step raises itself (an abort) cannot wait for
  // that step to end.
  if (t_holds == 0) os::wait_for_release();
  wipe_shown_line();
  remove_published();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

}  // namespace

HeldSignals::HeldSignals() {
  if (t_holds++ == 0) os::hold_signals();
}

HeldSignals::~HeldSignals() {
  if (--t_holds == 0) os::release_signals();
}

int publish_temporary(const char* name) {
  for (int slot = 0; slot < kSlots; ++slot) {
    const char* none = nullptr;
    if (g_published[slot].compare_exchange_strong(none, name)) return slot;
  }
  return -1;
}

void withdraw_temporary(int slot) {
  if (slot >= 0) g_published[slot].store(nullptr);
}

void set_shown_line_wipe(const char* wipe) { g_wipe.store(wipe); }

void wipe_shown_line() {
  const char* wipe = g_wipe.exchange(nullptr);
  if (wipe == nullptr) return;
  std::size_t size = 0;  // strlen is not among the calls a handler may make
  while (wipe[size] != '\0') ++size;
  os::write_error(wipe, size);
}

void remove_named_temporaries() {
  const HeldSignals held;
  remove_published();
}

void handle_signals() {
  os::ignore_write_signals();
  for_each_ending_signal([](int sig) {
    // A signal ignored by whoever started us (nohup, a background job)
    // stays ignored.
    if (std::signal(sig, remove_temporaries_and_die) == SIG_IGN) std::signal(sig, SIG_IGN);
  });
}

}  // namespace telk
