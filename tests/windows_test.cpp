// The Windows build against the Linux build on random but realistic
// answers: the result files and check files must be the same bytes, and so must the
// consoles once Windows' CR LF line ends are allowed for.  The answers are
// typed as a person would, with a few decimals, so that reading them, the
// C library's tan and every rounding are compared on ordinary values.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/harness.h"

namespace {

// A number in [low, high] written with `fewest` to `most` decimals.
std::string typed(std::mt19937_64& random, double low, double high, int fewest, int most) {
  const int shown = std::uniform_int_distribution<int>(fewest, most)(random);
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", shown,
                std::uniform_real_distribution<double>(low, high)(random));
  return text;
}

// The first line where two texts part, for the failure message.
std::string first_difference(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  const std::size_t start = a.rfind('\n', i) == std::string::npos ? 0 : a.rfind('\n', i) + 1;
  return "at byte " + std::to_string(i) + ": \"" + a.substr(start, a.find('\n', i) - start) +
         "\" against \"" + b.substr(start, b.find('\n', i) - start) + "\"";
}

void compare_builds(std::uint64_t seed, int runs) {
  std::mt19937_64 random(seed);
  for (int k = 0; k < runs; ++k) {
    const std::string ground = typed(random, 1, 60, 0, 3) + "\n" + typed(random, 0, 12, 0, 2) +
                               "\n" + typed(random, 1.4, 2.9, 1, 2) + "\n";
    std::string answers =
        ground + typed(random, 0.1, 80, 0, 2) + "\n" + typed(random, 0.01, 2.5, 2, 2) + "\n";
    // Checked every other run: Bishop's table read alike; and once a half
    // each with water, a deeper base or an earthquake's load, the solver's
    // own sums alike (each such check solves for seconds, twice as long
    // under Wine, most of the test's time).  The period is even so that
    // these runs are checked runs: the options need --check.
    std::string args = k % 2 == 0 ? "--check" : "";
    if (k % 248 == 4) args += " --ru " + typed(random, 0, 0.5, 2, 2);
    if (k % 248 == 16) {
      // Under a water table every row's angles are scanned for from the
      // flattest slope up: a few rows, 2 to 8 m apart, compare the sums.
      args += " --water 0," + typed(random, 0, 0.5, 2, 2) + "," + typed(random, 1, 5, 1, 1) +
              ",1 --base " + typed(random, 0, 10, 1, 1);
      answers = ground + typed(random, 8, 20, 0, 1) + "\n" + typed(random, 2, 8, 1, 2) + "\n";
    }
    if (k % 248 == 30) {
      args += " --kh " + typed(random, 0, 0.4, 2, 2) + " --kv " + typed(random, -0.2, 0.2, 2, 2);
    }
    const harness::Outcome windows = harness::run(answers, "", args);
    const harness::Outcome linux = harness::run(answers, "TELK='" TELK_LINUX_BINARY "' && ", args);
    SCOPED_TRACE("answers " + answers + " " + args);
    ASSERT_EQ(linux.status, 0);
    EXPECT_EQ(windows.status, 0);
    EXPECT_EQ(windows.error, "");
    EXPECT_TRUE(windows.result == linux.result) << first_difference(windows.result, linux.result);
    EXPECT_TRUE(windows.check == linux.check) << first_difference(windows.check, linux.check);
    EXPECT_TRUE(windows.console == harness::console_lines(linux.console))
        << first_difference(windows.console, harness::console_lines(linux.console));
  }
}

// Runs per test; TELK_RANDOM_RUNS sets another count.
int runs() {
  const char* set = std::getenv("TELK_RANDOM_RUNS");
  return set != nullptr ? std::atoi(set) : 160;
}

}  // namespace

// Two halves with their own seeds, so that ctest can run them side by side.
TEST(WindowsBuild, SameBytesAsLinuxOnRandomAnswersFirstHalf) { compare_builds(20261207, runs()); }
TEST(WindowsBuild, SameBytesAsLinuxOnRandomAnswersSecondHalf) { compare_builds(7122026, runs()); }

// Every float friction angle from 1 to 90 degrees and every pair of
// two-decimal ratios, in both builds: the rounded friction ratios and the
// slope angles must agree bit for bit.
TEST(WindowsBuild, SameChartForEveryFrictionAngleAndRatioPair) {
  const harness::Outcome out = harness::run_script(
      "", "'" TELK_LINUX_SCAN "' > \"$IO/console\" && '" TELK_WINDOWS_SCAN "' > \"$IO/error\"");
  ASSERT_EQ(out.status, 0);
  const std::string linux = harness::console_lines(out.console);
  ASSERT_GT(linux.size(), 5000u);  // 53 friction-angle lines and 141 ratio lines
  EXPECT_TRUE(out.error == linux) << "first difference " << first_difference(out.error, linux)
                                  << " (the block that ends at that angle, or that x)";
}

// Wine hands SIGINT to the program as a Ctrl+C, which the C runtime turns
// into SIGINT on a thread of its own; its default action then exits with
// 3.  A kill is the death no handler sees: the file, marked for deletion
// until it is complete, goes when Wine's server closes the dead run's
// handles.
TEST(WindowsBuild, CtrlCAndKillLeaveNoTemporaryFile) {
  for (const auto& [sig, status] : {std::pair{"INT", 3}, {"KILL", 137}}) {
    const harness::Outcome out = harness::interrupted_run(sig);
    EXPECT_EQ(out.status, status) << sig;
    EXPECT_EQ(out.files, "TELK_result.xls ") << sig;
    EXPECT_TRUE(out.result == "old result") << sig;
  }
}
