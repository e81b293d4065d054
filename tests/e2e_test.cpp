// Runs the built telk in a fresh directory with the answers piped in, and
// compares the whole result file and console text with the expected files.
#include <algorithm>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "tests/harness.h"
#include "tests/known_runs.h"
#include "tests/sizes.h"

using harness::console_lines;
using harness::kWindows;
using harness::Outcome;
using harness::run;
using harness::slurp;

// The lines after a file's column titles (the line starting "H\t").
std::size_t lines_after_titles(const std::string& file) {
  const std::size_t titles = file.find("\r\nH\t");
  if (titles == std::string::npos) return 0;
  return static_cast<std::size_t>(std::count(file.begin() + titles + 2, file.end(), '\n')) - 1;
}

// Each known run, plain and checked: --check writes the same result file
// and console, and the check file beside it.  Of the runs with options,
// under the sanitizers, where the solver is some ten times slower, only
// the first, whose options' path through the program is the others'; and
// under Wine, where a run costs twice what it does on Linux, only the
// last, with a crack and a load, whose terms no other test of the Windows
// build sums (tests/windows_test.cpp compares the rest of its solver with
// the Linux build's byte for byte).
TEST(EndToEnd, KnownRunsGiveTheExpectedBytes) {
  const std::filesystem::path expected = TELK_EXPECTED_DIR;
  const std::vector<KnownRun> runs = known_runs(TELK_EXPECTED_DIR);
  ASSERT_GE(runs.size(), 12u);
  const auto with_options = std::count_if(runs.begin(), runs.end(),
                                          [](const KnownRun& r) { return !r.options.empty(); });
  int solved = 0;
  for (const KnownRun& r : runs) {
    if (!r.options.empty()) {
      ++solved;
      if (sizes::kSanitized && solved > 1) continue;
      if (kWindows && solved < with_options) continue;
    }
    for (const bool checked : {false, true}) {
      if (!checked && !r.options.empty()) continue;
      const std::string args = checked ? "--check " + r.options : "";
      SCOPED_TRACE(r.name + " " + args);
      // Over an old result file, which the new one must replace.
      const Outcome out = run(r.answers, "printf 'old result' > TELK_result.xls && ", args);
      EXPECT_EQ(out.status, 0);
      EXPECT_EQ(out.error + out.files,
                checked ? "TELK_check.xls TELK_result.xls " : "TELK_result.xls ");
      EXPECT_EQ(out.console, console_lines(slurp(expected / (r.name + ".console"))));
      EXPECT_EQ(out.result, slurp(expected / (r.name + ".xls")));
      if (checked && r.options.empty()) {
        EXPECT_EQ(out.check, slurp(expected / (r.name + ".check.xls")));
      } else if (checked) {
        // The header, then a row for each of the result file's.
        const std::string header = slurp(expected / (r.name + ".check.xls"));
        EXPECT_EQ(out.check.substr(0, header.size()), header);
        EXPECT_EQ(lines_after_titles(out.check), lines_after_titles(out.result));
      }
    }
  }
}

// Arguments answer without asking: one slope by Bishop's method, its line
// or one line saying which number is wrong and why; the version; the
// usage, on standard output when asked for, else on standard error.
TEST(EndToEnd, ArgumentsGiveALineOrSayWhy) {
  const char* kUsage =
      "usage: telk [--check [GROUND] | --fs PHI C GAMMA H BETA [GROUND]\n"
      "             [--circle XC YC R | --yield] | --version | --help]\n"
      "  GROUND: [--ru R | --water X1,Y1,X2,Y2,... [--gamma-w W]] [--base D]\n"
      "          [--kh K] [--kv V]\n"
      "          [--crack Z|auto [--crack-water F [--gamma-w W]]]\n"
      "          [--load Q [--load-from A] [--load-width B]]\n";
  const struct {
    const char* args;
    int status;
    const char* out;  // what standard output starts with
    const char* error;
  } cases[] = {
      // A 2:1 slope, H 10 m, c' 3 kPa, phi' 19.6, gamma 20 kN/m3: published
      // Bishop results 0.985 to 0.993.
      {"--fs 19.6 3 20 10 26.565", 0, "0.98", ""},
      // Without cohesion, the plane just under the face, exactly: tan(30) /
      // tan(0.0005) = 66159.4674, and next to nothing on a vertical face.
      {"--fs 30 0 20 10 0.0005", 0, "66159.467 on a plane just under the face (no cohesion)\n", ""},
      {"--fs 30 0 20 10 89.99995", 0, "0.000 on a plane just under the face (no cohesion)\n", ""},
      // Read in double precision: 1e-300 is above 0.
      {"--fs 30 1 1e-300 10 45", 0, "6.046e+299 centre", ""},
      {"--fs 35 x 20 10 30", 1, "", "telk: cohesion: \"x\" is not a number\n"},
      {"--fs 35 1 20 10 95", 1, "", "telk: slope angle: \"95\" is above 90 degrees: the face would overhang\n"},
      {"--fs 90 1 20 10 45", 1, "", "telk: friction angle: \"90\" is 90 degrees or more: no slope can fail\n"},
      {"--fs 35 1 20 0 45", 1, "", "telk: height: \"0\" is not above 0\n"},
      {"--fs -0.00000000000000000000000000000000000000000000001 1 20 10 45", 1, "",
       "telk: friction angle: \"-0.0000000000000000000000000000000000000...\" is below 0 degrees\n"},
      {"--fs 35 1 inf 10 45", 1, "", "telk: unit weight: \"inf\" is not finite\n"},
      {"--fs 35 1 20 10", 2, "", kUsage},
      // The ground's options: no water, a base at the toe and no load are
      // the dry answer; a value telk cannot use, one line naming the option;
      // an option unknown, given twice, both waters, --gamma-w without a
      // table, --circle or --yield with --check, or --yield with --kh, a
      // line naming it and the usage.
      {"--fs 35 1 2 10 30 --ru 0 --base 0 --kh 0 --kv 0", 0, "1.960 centre (0.077, 23.054) radius 23.054", ""},
      {"--fs 30 2 1.8 10 45 --yield", 0, "0.380 centre", ""},
      {"--fs 20 1 1.8 10 45 --yield --kv 0.1", 0, "0.000 centre", ""},
      {"--fs 30 1e6 1.8 10 45 --yield", 0, "1.000 or more sliding along the base", ""},
      {"--fs 35 1 20 10 30 --kh 1", 1, "", "telk: --kh: \"1\" is 1 or more\n"},
      {"--fs 35 1 20 10 30 --kv -1", 1, "", "telk: --kv: \"-1\" is -1 or less\n"},
      {"--fs 35 1 20 10 30 --yield --kh 0.1", 2, "",
       "telk: --yield: cannot go with --kh: it finds the k_h itself\n"},
      {"--check --yield", 2, "", "telk: --yield: goes with --fs only\n"},
      {"--fs 35 1 2 10 30", 0, "1.960 centre (0.077, 23.054) radius 23.054", ""},
      {"--fs 35 1 20 10 30 --water 0,0,4,1 --gamma-w 9.81", 0, "1.365 centre", ""},
      {"--fs 35 1 20 10 30 --ru 1.5", 1, "", "telk: --ru: \"1.5\" is 1 or more: the soil would float\n"},
      {"--fs 35 1 20 10 30 --water 0,0,1", 1, "", "telk: --water: \"0,0,1\" has an x without its y\n"},
      {"--fs 35 1 20 10 30 --water 0,0,4,1", 1, "",
       "telk: --water: a unit weight above 4 is not in Tn/m3: give --gamma-w, the unit weight"
       " of water in the same units (9.81 for kN/m3)\n"},
      {"--fs 35 1 20 10 30 --base -1", 1, "", "telk: --base: \"-1\" is below 0\n"},
      // Water within the range where every system gives the same bytes.
      {"--fs 35 1 20 10 30 --ru 0.9999", 1, "",
       "telk: --ru: \"0.9999\" is above 0.9: the soil would all but float\n"},
      {"--fs 30 2 1.8 20 40 --water -1e16,-1e16,1e16,1e16", 1, "",
       "telk: --water: \"-1e16\" is more than 1e6 heights from the toe: the table's levels would"
       " lose digits\n"},
      {"--fs 35 1 20 10 30 --water 0,0,4,1 --gamma-w 1e10", 1, "",
       "telk: --gamma-w: the unit weight of water is above the soil's: the soil would float\n"},
      {"--fs 35 1 20 10 30 --water 0,0,4,1 --gamma-w 1", 1, "",
       "telk: --gamma-w: the unit weight of water is below a quarter of the soil's: are both in"
       " the same units?\n"},
      {"--fs 35 1 0.5 10 30 --water 0,0,4,1", 1, "",
       "telk: --water: the unit weight of water, 1 Tn/m3, is above the soil's: the soil would"
       " float\n"},
      {"--fs 35 1 20 10 30 --ru 0.2 --ru 0.3", 2, "", "telk: --ru: given twice\n"},
      {"--fs 35 1 20 10 30 --ru 0.2 --water 0,0,4,1", 2, "",
       "telk: --ru: cannot go with --water: give one kind of water\n"},
      {"--fs 35 1 20 10 30 --gamma-w 9.81", 2, "",
       "telk: --gamma-w: given without --water or --crack-water: a unit weight of water is for"
       " a water table or a crack's water\n"},
      // A tension crack and a load on the crest: none is as before, byte for
      // byte; a crack half the height deep takes a 2.5 m vertical cut from
      // 2.040 to about 1.66, and says where it cuts the circle.  Values telk
      // cannot use, a line naming the option; a partner alone, the usage.
      {"--fs 30 2 1.8 5 87 --crack 0 --load 0", 0,
       "1.266 centre (-4.759, 5.000) radius 6.903 enters (2.144, 5.000) leaves (0.000, 0.000)\n", ""},
      {"--fs 30 2 1.8 2.5 90 --crack 1.25", 0,
       "1.657 centre (-7.099, 5.856) radius 9.203 enters (0.868, 2.500) leaves (0.000, 0.000)"
       " crack foot (0.868, 1.250) depth 1.250\n", ""},
      // Deeper than half the height, the crack is half the height deep.
      {"--fs 30 2 1.8 2.5 90 --crack 9 --load 3 --load-from 0.5 --load-width 2", 0,
       "1.292 centre (-6.031, 5.788) radius 8.359 enters (0.989, 2.500) leaves (0.000, 0.000)"
       " crack foot (0.989, 1.250) depth 1.250\n", ""},
      {"--fs 35 1 20 10 30 --crack -1", 1, "", "telk: --crack: \"-1\" is below 0\n"},
      {"--fs 35 1 20 10 30 --crack 1 --crack-water 1.5", 1, "",
       "telk: --crack-water: \"1.5\" is above 1: the crack holds no more than its depth\n"},
      {"--fs 35 1 20 10 30 --crack 1 --crack-water 1", 1, "",
       "telk: --crack-water: a unit weight above 4 is not in Tn/m3: give --gamma-w, the unit"
       " weight of water in the same units (9.81 for kN/m3)\n"},
      {"--fs 35 1 20 10 30 --load 5 --load-width 0", 1, "", "telk: --load-width: \"0\" is not above 0\n"},
      {"--fs 35 1 20 10 30 --crack-water 1", 2, "",
       "telk: --crack-water: given without --crack: water fills a tension crack\n"},
      {"--fs 35 1 20 10 30 --load-from 1", 2, "", "telk: --load-from: given without --load: it places a load\n"},
      {"--fs 35 1 20 10 30 --flood", 2, "", "telk: \"--flood\" is no option of telk's\n"},
      {"--check --circle 1 2 3", 2, "", "telk: --circle: goes with --fs only\n"},
      // No factor of safety that is not a number: nothing, or next to
      // nothing, drives a slip through the crest alone or against a
      // cohesion of 1e300.
      {"--fs 45 1e300 1.8 1e-6 1e-6", 1, "",
       "telk: the factor of safety is infinite: nothing, or next to nothing, drives the slip\n"},
      {"--fs 30 2 2 10 45 --circle 16 18 10", 1, "",
       "telk: --circle: the factor of safety is infinite: nothing, or next to nothing, drives"
       " the slip along it\n"},
      {"--fs 89.9 1e300 1.8 1e-6 1e-6 --yield", 1, "",
       "telk: --yield: the factor of safety is infinite: nothing, or next to nothing, drives"
       " the slip without the load\n"},
      // A base deeper than the search reaches, 20 heights: 200 m under a
      // 10 m slope is taken, 200.1 m and 1e200 m are not.
      {"--fs 35 1 2 10 30 --base 200", 0, "1.960 centre", ""},
      {"--fs 35 1 2 10 30 --base 200.1", 1, "",
       "telk: --base: is deeper than 20 times the height, beyond which the search does not reach\n"},
      {"--fs 0 1 1 6 90 --base 1e200", 1, "",
       "telk: --base: is deeper than 20 times the height, beyond which the search does not reach\n"},
      {"--fs 35 1 20 10 30 --circle 0 0 1", 1, "",
       "telk: --circle: the circle of centre (0.000, 0.000) and radius 1.000 is no slip circle"
       " of the slope: it does not cut the ground twice\n"},
      // Friction never makes a slope less safe: a vertical cut with r_u 0.3
      // reads 0 at phi = 30 by circles alone (0.383 at phi = 0), and takes
      // the greater; so does a circle given.
      {"--fs 30 2 2 10 90 --ru 0.3", 0,
       "0.383 centre (-14.065, 22.046) radius 26.150 enters (9.146, 10.000) leaves (0.000, 0.000)"
       " (phi = 0 governs: with friction Bishop's method reads lower) (circles on which Bishop's"
       " equation has no root passed over)\n", ""},
      {"--fs 30 2 2 10 90 --ru 0.3 --circle -10 10 14.142", 0,
       "0.471 centre (-10.000, 10.000) radius 14.142 enters (4.142, 10.000) leaves (0.000, 0.000)"
       " (phi = 0 governs: with friction Bishop's method reads lower)\n", ""},
      // Where Bishop's equation has no root on a given circle: no number.
      {"--fs 10 0.5 18 10 70 --ru 0.4 --circle -45.523 40.023 60.615", 1, "",
       "telk: --circle: the circle of centre (-45.523, 40.023) and radius 60.615 has no factor of"
       " safety: Bishop's equation has no root on it (the method has no solution there)\n"},
      {"--bishop", 2, "", kUsage},
      {"--version --help", 2, "", kUsage},
      {"--help", 0, kUsage, ""},
      {"--version", 0, "telk " TELK_VERSION "\n", ""},
  };
  for (const auto& c : cases) {
    const Outcome out = run("", "", c.args);
    EXPECT_EQ(out.status, c.status) << c.args;
    EXPECT_EQ(out.console.rfind(console_lines(c.out), 0), 0u) << c.args << ": " << out.console;
    // An option that cannot apply is named before the usage.
    EXPECT_EQ(out.error, console_lines(c.error) + (c.status == 2 && std::string(c.error) != kUsage
                                                       ? console_lines(kUsage)
                                                       : ""))
        << c.args;
    EXPECT_EQ(out.files, "") << c.args;
  }
  // A circle's numbers are written whole, however long: 1e308 has 309
  // digits.
  char huge[400];
  std::snprintf(huge, sizeof huge, "%.3f", 1e308);
  const Outcome out = run("", "", "--fs 30 2 1.8 20 40 --circle 1e308 1e308 1e308");
  EXPECT_EQ(out.status, 1);
  EXPECT_EQ(out.error, console_lines("telk: --circle: the circle of centre (" + std::string(huge) +
                                     ", " + huge + ") and radius " + huge +
                                     " is no slip circle of the slope: it does not cut the"
                                     " ground twice\n"));
}

// The critical circle --fs prints, typed back with --circle, has the
// factor of safety it printed, to the rounding of its three decimals: dry,
// wet, on a deeper base (a toe circle whose centre is in front of the toe,
// and one that leaves the ground in front of it); a toe circle that, typed
// back, passes 0.0005 below the toe and crosses the face's line 0.0035
// below it, nearly along it; and one next to circles on which Bishop's
// equation has no root, where phi = 0 governs.
TEST(EndToEnd, ThePrintedCircleGivenBackHasItsFactorOfSafety) {
  for (const char* slope : {"19.6 3 20 10 26.565", "35 1 20 10 30 --water 0,0,4,1 --gamma-w 9.81",
                            "30 18 18 10 45 --ru 0.2 --base 5", "0 1 5.52 1 30 --base 16",
                            "27.332 0.001138 1.896 1.0 55.715 --ru 0.0229 --kh 0.0481",
                            "38.178 0.390312 1.807 10.0 68.389 --water "
                            "-0.773,0.086,-0.566,0.692,0.03,0.473,3.279,0.135 --gamma-w 1 --base 5.71"}) {
    const Outcome critical = run("", "", std::string("--fs ") + slope);
    double fs = 0, cx = 0, cy = 0, r = 0;
    ASSERT_EQ(std::sscanf(critical.console.c_str(), "%lf centre (%lf, %lf) radius %lf", &fs, &cx,
                          &cy, &r),
              4)
        << slope << ": " << critical.console;
    const std::string circle =
        " --circle " + std::to_string(cx) + " " + std::to_string(cy) + " " + std::to_string(r);
    auto given_fs = [&](const std::string& ground) {
      const Outcome given = run("", "", "--fs " + ground + circle);
      double f = 0;
      EXPECT_EQ(std::sscanf(given.console.c_str(), "%lf", &f), 1) << ground << ": " << given.error;
      return f;
    };
    // Where phi = 0 governs, the circle is the critical one of the same
    // slope with phi = 0, and with friction it is no less safe.
    const bool frictionless = critical.console.find("phi = 0 governs") != std::string::npos;
    const std::string clay = "0" + std::string(slope).substr(std::string(slope).find(' '));
    EXPECT_NEAR(given_fs(frictionless ? clay : slope), fs, 0.0015) << slope;
    if (frictionless) {
      EXPECT_GE(given_fs(slope), fs) << slope;
    }
  }
}

TEST(EndToEnd, FailuresSayWhyAndLeaveTheOldFileAlone) {
  const char* kDrift = "definition: 0.01 m steps drift off their heights from 109.58 m on, in single precision; use a shorter height or a coarser definition (0.125, 0.25 and 0.5 add up exactly)";
  const std::string old = "printf 'old result' > TELK_result.xls && ";
  const char* kSameFile = "cannot replace TELK_check.xls: it is the same file as TELK_result.xls";
  const char* kTooDeep = "--base: is deeper than 20 times the first row's height (the definition),"
                         " beyond which the search does not reach";
  // The system's reasons differ: Windows says them in its own words (here
  // Wine's), or cannot get into the case at all (null).
  const struct {
    const char* answers;
    std::string prefix;
    int status;
    const char* error;
    const char* windows_error;
    const char* options = "";  // the ground's, after --check
  } cases[] = {
      {"3,5\n", old, 1, "friction angle: \"3,5\" is not a number (type it with a decimal point)", ""},
      {"35 1 2.2 1e39\n", old, 1, "height: \"1e39\" is beyond the range of single-precision numbers", ""},
      {"35\n1\n2.2\n20\n", old, 1, "input ended before the definition was given", ""},
      // Sweeps that cannot be written as asked: heights that drift off
      // their steps, or stall at 2^18 m, and more rows than an int counts.
      {"35 1 2.2 1000 0.01", old, 1, kDrift, ""},
      {"35 1 2.2 400000 0.01", old, 1, kDrift, ""},
      {"35 1 2.2 21474836 0.01", old, 1, "height: 21474836 m in steps of 0.01 m is more than 2147483647 rows", ""},
      // A base deeper than the search reaches under the first row, 20 times
      // its height: refused before anything is written, as --fs refuses it.
      {"0\n1\n1\n6\n1\n", old, 1, kTooDeep, "", "--base 1e200"},
      {"35 1 2.2 20 0.25", old, 1, kTooDeep, "", "--ru 0.1 --base 5.5"},
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
      // A check file that cannot be written: neither file is touched.
      {"35 1 2.2 20 2.5", old + "mkdir TELK_check.xls && ", 255,
       "cannot replace TELK_check.xls: it is a directory", ""},
      // Both names one file, through a link either way, hard or symbolic:
      // the check table would take the result's place.
      {"35 1 2.2 20 2.5", old + "ln TELK_result.xls TELK_check.xls && ", 255, kSameFile, ""},
      {"35 1 2.2 20 2.5", old + "ln -s TELK_result.xls TELK_check.xls && ", 255, kSameFile, ""},
      {"35 1 2.2 20 2.5", old + "mv TELK_result.xls TELK_check.xls && ln TELK_check.xls TELK_result.xls && ",
       255, kSameFile, ""},
      {"35 1 2.2 20 2.5", old + "mv TELK_result.xls TELK_check.xls && ln -s TELK_check.xls TELK_result.xls && ",
       255, kSameFile, ""},
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
    const bool checked = std::string(error).find("TELK_check.xls") != std::string::npos;
    const Outcome out =
        run(c.answers, c.prefix, checked || *c.options ? std::string("--check ") + c.options : "");
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(out.error, console_lines("telk: " + std::string(error) + "\n"));
    // No temporary file left.
    EXPECT_EQ(out.files, checked ? "TELK_check.xls TELK_result.xls " : "TELK_result.xls ");
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
      // A checked run: what Bishop's method found, column by column, and
      // plainly where it is not safe.
      {"35 1 2.2 20 2.5\n", old + "\"$TELK\" --check > /dev/null", 0, "",
       "telk: 8 rows written to TELK_result.xls and TELK_check.xls\n"
       "telk: FS 1.0: Bishop's method gives the chart's angles a factor of safety of 1.027 or more (the least at 17.50 m)\n"
       "telk: FS 1.3: Bishop's method gives the chart's angles a factor of safety of 1.305 or more (the least at 17.50 m)\n"
       "telk: FS 1.5: Bishop's method gives the chart's angles a factor of safety of 1.549 or more (the least at 7.50 m)\n",
       file},
      {"40 0.1 2 11 1\n", old + "\"$TELK\" --check > /dev/null && rm TELK_result.xls", 0, "",
       "telk: 11 rows written to TELK_result.xls and TELK_check.xls\n"
       "telk: FS 1.0: no angle of the chart to check\n"
       "telk: FS 1.3: at 11.00 m the chart's angle has a factor of safety of only 1.259 by Bishop's method, more than 2% below 1.3: not safe there\n"
       "telk: FS 1.5: Bishop's method gives the chart's angles a factor of safety of 1.493 or more (the least at 11.00 m)\n",
       ""},
  };
  for (const auto& c : cases) {
    const std::string keys = c.keys;
    const Outcome out = harness::run_script("", c.script, false, &keys);
    EXPECT_EQ(out.status, c.status) << c.keys;
    EXPECT_EQ(out.console, c.console) << c.keys;
    EXPECT_EQ(out.terminal, c.terminal) << c.keys;
    const bool checked = c.script.find("--check") != std::string::npos;
    EXPECT_EQ(out.error + out.files + out.result,
              (checked ? "TELK_check.xls " : "") +
                  std::string(c.result.empty() ? "" : "TELK_result.xls ") + c.result)
        << c.keys;
  }
}

