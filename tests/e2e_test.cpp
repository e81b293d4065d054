// Runs the built telk in a fresh directory with the answers piped in, and
// compares the whole result file and console text with the expected files.
#include <string>

#include <gtest/gtest.h>

#include "tests/harness.h"
#include "tests/known_runs.h"

using harness::console_lines;
using harness::kWindows;
using harness::Outcome;
using harness::run;
using harness::slurp;

TEST(EndToEnd, KnownRunsGiveTheExpectedBytes) {
  const std::filesystem::path expected = TELK_EXPECTED_DIR;
  for (const KnownRun& r : kKnownRuns) {
    // Over an old result file, which the new one must replace.
    const Outcome out = run(r.answers, "printf 'old result' > TELK_result.xls && ");
    EXPECT_EQ(out.status, 0) << r.name;
    EXPECT_EQ(out.error + out.files, "TELK_result.xls ") << r.name;
    EXPECT_EQ(out.console, console_lines(slurp(expected / (std::string(r.name) + ".console"))));
    EXPECT_EQ(out.result, slurp(expected / (std::string(r.name) + ".xls"))) << r.name;
  }
}

TEST(EndToEnd, FailuresSayWhyAndLeaveTheOldFileAlone) {
  const std::string old = "printf 'old result' > TELK_result.xls && ";
  // The system's reasons differ: Windows says them in its own words (here
  // Wine's), or cannot get into the case at all (null).
  const struct {
    const char* answers;
    std::string prefix;
    int status;
    const char* error;
    const char* windows_error;
  } cases[] = {
      {"3,5\n", old, 1, "friction angle: \"3,5\" is not a number (type it with a decimal point)", ""},
      {"35 1 2.2 1e39\n", old, 1, "height: \"1e39\" is beyond the range of single-precision numbers", ""},
      {"35\n1\n2.2\n20\n", old, 1, "input ended before the definition was given", ""},
      // Standard input that cannot be read: the system's reason.
      {"", old + "rm \"$IO/answers\" && mkdir \"$IO/answers\" && ", 1,
       "cannot read the friction angle: Is a directory",
       "cannot read the friction angle: Invalid argument"},
      // A directory where the result file should be: refused before the
      // sweep, with nothing touched.
      {"35 1 2.2 20 2.5", "mkdir TELK_result.xls && ", 255,
       "cannot replace TELK_result.xls: it is a directory", ""},
      // A working directory that has gone: nothing can be made in it.
      // Windows does not let a directory in use be removed.
      {"35 1 2.2 20 2.5", old + "mkdir gone && cd gone && rmdir ../gone && ", 255,
       "cannot write in the working directory to create TELK_result.xls: No such file or directory",
       nullptr},
  };
  for (const auto& c : cases) {
    const char* error = c.error;
    if (kWindows && c.windows_error == nullptr) continue;
    if (kWindows && c.windows_error[0] != '\0') error = c.windows_error;
    const Outcome out = run(c.answers, c.prefix);
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(out.error, console_lines("telk: " + std::string(error) + "\n"));
    EXPECT_EQ(out.files, "TELK_result.xls ");  // no temporary file left
    EXPECT_EQ(out.console.find("0.540000"), std::string::npos);  // no sweep
    if (c.prefix.rfind(old, 0) == 0) {
      EXPECT_EQ(out.result, "old result");
    }
  }
}
