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
// `sig`: 0 made the file, 1 wrote it, 2 named it.
[[noreturn]] void die_after(const std::filesystem::path& dir, int steps, int sig) {
  if (chdir(dir.c_str()) != 0) std::_Exit(2);
  handle_signals();
  Destination d;
  Temporary t;
  std::string reason;
  if (!find_destination("TELK_result.xls", &d, &reason) || !create_temporary(d, &t)) std::_Exit(3);
  if (steps >= 1 && !write_all(t.file, "new", 3)) std::_Exit(4);
  if (steps >= 2 && !name_temporary(d, &t)) std::_Exit(5);
  raise(sig);
  std::_Exit(6);
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
