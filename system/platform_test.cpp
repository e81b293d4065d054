#include "system/platform.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

using namespace telk;

namespace {

// A child that goes as far as `steps` into a replace in `dir`, then gets
// `sig`: 0 made the file, 1 wrote it, 2 finished it under its own name.
[[noreturn]] void die_after(const std::filesystem::path& dir, int steps, int sig) {
  if (chdir(dir.c_str()) != 0) std::_Exit(2);
  handle_signals();
  Replacement file("TELK_result.xls");
  std::string error;
  if (!file.create(&error)) std::_Exit(3);
  if (steps >= 1 && !os::write_all(file.file(), "new", 3)) std::_Exit(4);
  if (steps >= 2 && !file.finish(&error)) std::_Exit(5);
  raise(sig);
  std::_Exit(6);
}

bool blocked(int sig) {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, sig) == 1;
}

}  // namespace

// Whatever step a replace is at, a signal that ends the process leaves the
// old file alone and no temporary file beside it, named or not.
TEST(Platform, ASignalAtAnyStepOfAReplaceLeavesNoTemporaryFile) {
  char name[] = "/tmp/telk-platform-XXXXXX";
  const std::filesystem::path dir = mkdtemp(name);
  std::ofstream(dir / "TELK_result.xls") << "old result";
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGALRM, SIGRTMIN}) {
    for (int steps = 0; steps <= 2; ++steps) {
      EXPECT_EXIT(die_after(dir, steps, sig), testing::KilledBySignal(sig), "")
          << "signal " << sig << " after step " << steps;
      int files = 0;
      for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().filename().string(), "TELK_result.xls") << "signal " << sig;
        ++files;
      }
      EXPECT_EQ(files, 1);
    }
  }
  std::ifstream old(dir / "TELK_result.xls");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old result");
  std::filesystem::remove_all(dir);
}

// A hold inside a hold (running out of memory in a held step) keeps the
// signals held until the outer one ends.
TEST(Platform, HeldSignalsNest) {
  ASSERT_FALSE(blocked(SIGINT));
  {
    const HeldSignals outer;
    {
      const HeldSignals inner;
      EXPECT_TRUE(blocked(SIGINT));
    }
    EXPECT_TRUE(blocked(SIGINT));
  }
  EXPECT_FALSE(blocked(SIGINT));
}

// The wait before a console window closes: only telk alone on a console,
// with a person at it.
TEST(Platform, WaitsBeforeClosingOnlyAloneOnAConsole) {
  const struct { unsigned processes; bool in, err, waits; } cases[] = {
      {1, true, true, true},    // started from Explorer
      {2, true, true, false},   // from cmd or PowerShell
      {0, true, true, false},   // no console, or not Windows
      {1, false, true, false},  // answers from a file
      {1, true, false, false},  // errors to a file
  };
  for (const auto& c : cases)
    EXPECT_EQ(waits_before_closing(c.processes, c.in, c.err), c.waits) << c.processes;
}
