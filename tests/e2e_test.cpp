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
  const char* kDrift = "definition: 0.01 m steps drift off their heights from 109.58 m on, in single precision; use a shorter height or a coarser definition (0.125, 0.25 and 0.5 add up exactly)";
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
      // Sweeps that cannot be written as asked: heights that drift off
      // their steps, or stall at 2^18 m, and more rows than an int counts.
      {"35 1 2.2 1000 0.01", old, 1, kDrift, ""},
      {"35 1 2.2 400000 0.01", old, 1, kDrift, ""},
      {"35 1 2.2 21474836 0.01", old, 1, "height: 21474836 m in steps of 0.01 m is more than 2147483647 rows", ""},
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
#ifdef TELK_IN_EMPTY_ROOT
  // The release's Linux binary runs in an empty root (tests/chroot.in),
  // with the working directory bound in: one that is gone cannot be.
  constexpr bool kGoneDirectoryCannotBeMade = true;
#else
  constexpr bool kGoneDirectoryCannotBeMade = false;
#endif
  for (const auto& c : cases) {
    const char* error = c.error;
    if (kWindows && c.windows_error == nullptr) continue;
    if (kGoneDirectoryCannotBeMade && c.prefix.find("rmdir") != std::string::npos) continue;
    if (kWindows && c.windows_error[0] != '\0') error = c.windows_error;
    const Outcome out = run(c.answers, c.prefix);
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(out.error, console_lines("telk: " + std::string(error) + "\n"));
    EXPECT_EQ(out.files, "TELK_result.xls ");  // no temporary file left
    EXPECT_EQ(out.console.find("0.540000"), std::string::npos);  // no sweep
    if (c.prefix.rfind(old, 0) == 0) {
      EXPECT_EQ(out.result, "old result");
    }
    if (c.status == 1) {
      EXPECT_EQ(out.console.back(), ':') << "no trace after the last prompt";
    }
  }
}

// A person at a terminal: an answer that cannot be read is asked again,
// and a run that wrote the file says so on a line of its own.
TEST(EndToEnd, AtATerminalBadAnswersAreAskedAgain) {
  // Wine's console draws on a terminal with escape sequences of its own,
  // and its server keeps the terminal open after the run.
  if (kWindows) GTEST_SKIP() << "Wine's console is not a plain terminal";
  const std::filesystem::path expected = TELK_EXPECTED_DIR;
  const std::string console = slurp(expected / "phi35_h20_d2.5.console");
  const std::string file = slurp(expected / "phi35_h20_d2.5.xls");
  const std::string cohesion = "\n\tCohesion \t\t[Tn/m2]\t:";
  const std::size_t asked = console.find(cohesion) + cohesion.size();
  const std::string old = "printf 'old result' > TELK_result.xls && ";
  const std::string to_file = old + "\"$TELK\" > \"$IO/console\"";
  const std::string written = "telk: 8 rows written to TELK_result.xls\n";
  const struct {
    const char* keys;
    std::string script;
    int status;
    std::string console, terminal, result;
  } cases[] = {
      // The rest of the bad line is dropped, not taken for later answers.
      {"35\nabc 7\n1 2.2 20 2.5\n", to_file, 0,
       console.substr(0, asked) + console.substr(asked - cohesion.size()),
       "telk: cohesion: \"abc\" is not a number\n" + written, file},
      // The end of input (Ctrl-D) is not asked again.
      {"35\n3,5\n\x04", to_file, 1, console.substr(0, asked) + cohesion,
       "telk: cohesion: \"3,5\" is not a number (type it with a decimal point)\n"
       "telk: input ended before the cohesion was given\n",
       "old result"},
      {"35 1 2.2 20 2.5\n", old + "\"$TELK\"", 0, "", console + "\n" + written, file},
      // Standard error not a terminal: nothing is added.
      {"35 1 2.2 20 2.5\n", old + "\"$TELK\" 2> \"$IO/error\"", 0, "", console, file},
  };
  for (const auto& c : cases) {
    const std::string keys = c.keys;
    const Outcome out = harness::run_script("", c.script, false, &keys);
    EXPECT_EQ(out.status, c.status) << c.keys;
    EXPECT_EQ(out.console, c.console) << c.keys;
    EXPECT_EQ(out.terminal, c.terminal) << c.keys;
    EXPECT_EQ(out.error + out.files + out.result, "TELK_result.xls " + c.result) << c.keys;
  }
}

// --version and --help answer on standard output; any other argument is a
// mistake, said on standard error.  None of them asks or writes a file.
TEST(EndToEnd, ArgumentsAnswerWithoutAsking) {
  const std::string usage = "usage: telk [--version | --help]; with neither, telk asks for the answers\n";
  const struct {
    const char* arguments;
    int status;
    std::string console, error;
  } cases[] = {
      {"--version", 0, "telk " TELK_VERSION "\n", ""},
      {"--help", 0, usage, ""},
      {"--verbose", 2, "", usage},
      {"--version --help", 2, "", usage},
  };
  for (const auto& c : cases) {
    const Outcome out = harness::run_script(
        "35 1 2.2 20 2.5", std::string("\"$TELK\" ") + c.arguments +
                               " < \"$IO/answers\" > \"$IO/console\" 2> \"$IO/error\"");
    EXPECT_EQ(out.status, c.status) << c.arguments;
    EXPECT_EQ(out.console, console_lines(c.console)) << c.arguments;
    EXPECT_EQ(out.error, console_lines(c.error)) << c.arguments;
    EXPECT_EQ(out.files, "") << c.arguments;
  }
}
