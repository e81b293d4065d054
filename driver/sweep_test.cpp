#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <cmath>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "chart/chart.h"
#include "driver/dialogue.h"
#include "driver/options.h"
#include "driver/sweep.h"
#include "report/cells.h"
#include "report/check_file.h"
#include "report/layout.h"
#include "output/result_file.h"
#include "system/workers.h"
#include "tests/harness.h"
#include "tests/known_runs.h"
#include "tests/sizes.h"

using namespace telk;

TEST(RowCount, TruncatesTheExactQuotientAndIsNeverNegative) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct { float height, definition; int want; } cases[] = {
      {10, 3, 3},  {1, 0.1f, 9},  {3, 0.1f, 29},     {3.2f, 0.1f, 32},
      {1, 5, 0},   {-10, -3, 3},  {-10, 3, 0},       {10, 0, 0},
      {0, 0, 0},   {inf, 1, 0},   {1e30f, 1e-30f, 0},  // beyond the int range
  };
  for (const auto& c : cases)
    EXPECT_EQ(row_count(c.height, c.definition), c.want) << c.height;
}

// Refused exactly when some height, added up in float, strays half a
// hundredth or more from its step; the plain rule here walks every row.
TEST(CheckSweep, RefusesExactlyTheSweepsWhoseHeightsDrift) {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> thousandths(1, 3000), eighths(1, 40), kind(0, 2);
  std::uniform_real_distribution<double> rows(1, 60000);
  int refused = 0;
  for (int k = 0; k < 600; ++k) {
    const int sign = k % 5 == 0 ? -1 : 1;
    const float definition = sign * (kind(gen) == 0 ? eighths(gen) / 8.0f
                                                    : static_cast<float>(thousandths(gen) / 1000.0));
    const float height = static_cast<float>(definition * rows(gen) * (k % 7 == 0 ? 400 : 1));
    bool drifts = false;
    float h = 0.0f;
    for (int i = 0; i < row_count(height, definition) && !drifts; ++i) {
      h += definition;
      drifts = std::fabs(double{h} - (i + 1.0) * double{definition}) >= 0.005;
    }
    std::string error;
    const Answers answers{35, 1, 2.2f, height, definition};
    ASSERT_EQ(check_sweep(answers, &error).has_value(), !drifts) << height << " " << definition;
    refused += drifts;
  }
  EXPECT_GT(refused, 100);  // both outcomes are well represented
  EXPECT_LT(refused, 500);
}

// The same sweep that writes the file, into memory, gives the file's bytes.
TEST(Sweep, WritesTheWholeFileIntoMemory) {
  for (const KnownRun& run : known_runs(TELK_EXPECTED_DIR)) {
    Answers answers{};
    std::istringstream(run.answers) >> answers.friction_angle >> answers.cohesion >>
        answers.density >> answers.height >> answers.definition;
    MemorySink memory;
    std::string error;
    const auto plan = check_sweep(answers, &error);
    ASSERT_TRUE(plan && sweep(*plan, &memory, nullptr, &error)) << error;
    EXPECT_EQ(memory.bytes(), harness::slurp(std::filesystem::path(TELK_EXPECTED_DIR) /
                                             (run.name + ".xls")))
        << run.name;
  }
}

// Through the disk's path, a file of several blocks (each handed to a
// thread, the last one partly filled) has the bytes the sweep writes into
// memory.
TEST(Sweep, WritesTheSameBytesToDiskAsToMemory) {
  const Answers answers{35, 1e12f, 2.2f, 20000, 0.125f};  // 160000 rows, about 15 MB
  std::string error;
  const auto plan = check_sweep(answers, &error);
  ASSERT_TRUE(plan);
  MemorySink memory;
  ASSERT_TRUE(sweep(*plan, &memory, nullptr, &error)) << error;
  ASSERT_GT(memory.bytes().size(), 4 * BlockWriter::kBlockSize);

  char name[] = "/tmp/telk-sweep-XXXXXX";
  const std::filesystem::path dir = mkdtemp(name);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  ResultFile file(kResultName);
  ASSERT_TRUE(file.create(&error) && sweep(*plan, file.sink(), nullptr, &error) &&
              file.finish(&error) && file.put_in_place(&error))
      << error;
  EXPECT_TRUE(harness::slurp(dir / kResultName) == memory.bytes());
  std::filesystem::remove_all(dir);
}

// The sweep's shortcuts (the friction groups and chart rows taken once, row
// tails and cohesion ratios made again only when they change; the check's
// rows made again only when their ratio or angles change, its steepest
// angles searched from the last row's) against the rows written plainly,
// cell by cell from the chart's and the check's functions, over random
// answers: ordinary, negative, huge and not finite.  Every other run is
// checked.
TEST(Sweep, WritesTheRowsThePlainRuleWrites) {
  std::mt19937 gen(13);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const float odd[] = {0.0f, -1.0f, 1e12f, -1e12f, 3e38f, 1e-30f,
                       std::numeric_limits<float>::infinity(), std::nanf("")};
  auto pick = [&](float typical) {
    return gen() % 6 == 0 ? odd[gen() % std::size(odd)] : typical * unit(gen);
  };
  long long rows = 0;
  for (int run = 0; run < 400; ++run) {
    const Answers answers{pick(60), pick(12), pick(3), 0, (1 + gen() % 16) / 8.0f};
    Answers sized = answers;
    sized.height = sized.definition * static_cast<float>(run % 40 == 0 ? 100000 : 1 + gen() % 2000);
    if (run % 9 == 0) sized.height = -sized.height, sized.definition = -sized.definition;
    MemorySink memory, check_memory;
    Check check(sized, &check_memory);
    std::string error;
    const auto plan = check_sweep(sized, &error);
    ASSERT_TRUE(plan && sweep(*plan, &memory, nullptr, &error, run % 2 ? &check : nullptr))
        << error;

    std::string plain = header(sized.density, sized.friction_angle, sized.cohesion);
    std::string plain_check = check_header(sized.density, sized.friction_angle, sized.cohesion);
    const float phi = radians(sized.friction_angle);
    const bool bishop = takes_strength(sized.friction_angle, sized.cohesion, sized.density);
    float h = 0.0f;
    for (int i = 0; i < row_count(sized.height, sized.definition); ++i, ++rows) {
      h += sized.definition;
      const float y = arrondir(B(h, sized.cohesion, sized.density, phi), 2);
      const double ratio = kept_cohesion_ratio(sized.cohesion / (sized.density * double{h}));
      const TableStrength strength =
          table_strength(bishop ? std::tan(double{phi}) : NAN, h > 0 ? ratio : NAN);
      char cells[16 * kCellMax], checked[16 * kCellMax];
      char* end = write_decimal_cell(cells, h);
      char* check_end = write_decimal_cell(checked, h);
      for (int g = 0; g < kGroups; ++g) {
        const float x = arrondir(A(phi, kFactorsOfSafety[g].chart), 2), angle = slope_angle(x, y);
        end = write_angle_cell(write_decimal_cell(write_decimal_cell(end, x), y), angle);
        check_end = write_angle_cell(check_end, angle);
        check_end = write_comma_cell(
            check_end, check_factor_of_safety(strength, std::isfinite(angle) ? built_angle(angle) : NAN), 3);
        check_end = write_comma_cell(
            check_end, check_steepest_angle(strength, kFactorsOfSafety[g].decimal, nullptr), 1);
      }
      plain.append(cells, end).append(kLineEnd);
      plain_check.append(checked, check_end).append(kLineEnd);
    }
    ASSERT_EQ(memory.bytes(), plain) << sized.friction_angle << " " << sized.cohesion << " "
                                     << sized.density << " " << sized.height;
    if (run % 2) {
      ASSERT_EQ(check_memory.bytes(), plain_check)
          << sized.friction_angle << " " << sized.cohesion << " " << sized.density << " "
          << sized.height;
    }
  }
  EXPECT_GT(rows, 1000000);
}

// What the check file prints is safe by the solver that --fs uses, and
// near it: at Bishop's steepest angle as printed the critical factor of
// safety reaches the column's target and 0.2 degrees steeper (the 0.1 the
// rows may lie below a direct solve, and the tenth the cell cuts) it
// falls short; at the chart's angle it is no less than the factor of
// safety printed and within 0.1% of it (and the thousandth the cell
// cuts).  A dry sweep reads Bishop's table instead, lowered by its error:
// within twice kTableError, and its angles only on the safe side.  Random
// rows of random dry sweeps, and every other row of the known runs with
// water, a base or an earthquake's load (under the sanitizers, where the
// solver is some ten times slower, a sweep of their first two rows, each
// checked, and the first of them on three threads too), whose check files
// are not kept byte for byte: their rows are read through cubics whose
// tuning may move them within these bounds.
TEST(Sweep, CheckFileNumbersAreOnTheSafeSideAndNear) {
  struct Case {
    Answers answers;
    GroundOptions options;
    std::vector<int> rows;  // those checked, from 0
  };
  std::vector<Case> cases;
  std::mt19937 gen(17);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int run = 0; run < 6; ++run) {
    cases.push_back({{5 + 40 * unit(gen), 0.5f + 10 * unit(gen), 1.6f + unit(gen), 40, 0.5f}, {}, {}});
    cases.back().rows = {static_cast<int>(gen() % 20), 20 + static_cast<int>(gen() % 60)};
  }
  // The known runs with options, and a row whose crossing refinements
  // from a search 5 degrees off once read 56.7 degrees where a direct
  // solve's factor of safety there is 1.4999.
  std::vector<KnownRun> solved_runs = known_runs(TELK_EXPECTED_DIR);
  solved_runs.push_back({"a crossing", "38 0.5 2.1 1.5 1.5", "--ru 0.25 --base 5"});
  for (const KnownRun& known : solved_runs) {
    if (known.options.empty()) continue;
    std::istringstream typed(known.answers);
    Case c{};
    typed >> c.answers.friction_angle >> c.answers.cohesion >> c.answers.density >>
        c.answers.height >> c.answers.definition;
    std::istringstream words(known.options);
    std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    const std::vector<std::string_view> views(args.begin(), args.end());
    OptionError error;
    ASSERT_EQ(read_options(views, false, &c.options, &error), OptionsRead::kRead) << error.line();
    ASSERT_TRUE(settle_water(c.answers.density, &c.options, &error)) << error.line();
    if (sizes::kSanitized) c.answers.height = std::min(c.answers.height, 2 * c.answers.definition);
    const int rows = static_cast<int>(c.answers.height / c.answers.definition);
    for (int r = 0; r < rows; r += sizes::cases(2, 1)) c.rows.push_back(r);
    cases.push_back(c);
  }
  ASSERT_EQ(cases.size(), 11u);
  const auto number = [](std::string cell) {
    std::replace(cell.begin(), cell.end(), ',', '.');
    return std::strtod(cell.c_str(), nullptr);
  };
  int checked = 0, threaded_runs = 0;
  for (const Case& c : cases) {
    const bool solved = c.options.given();
    MemorySink memory, check_memory;
    Check check(c.answers, &check_memory, c.options);
    std::string error;
    const auto plan = check_sweep(c.answers, &error);
    ASSERT_TRUE(plan && sweep(*plan, &memory, nullptr, &error, &check)) << error;
    if (solved && (!sizes::kSanitized || threaded_runs++ == 0)) {
      // On three threads, which solve nodes and rows in whatever order they
      // finish: the same bytes as on one.
      Workers workers(3);
      MemorySink threaded_memory, threaded_check_memory;
      Check threaded(c.answers, &threaded_check_memory, c.options, nullptr,
                     [&](std::size_t n, const std::function<void(std::size_t)>& task) {
                       workers.run_each(n, task);
                     });
      ASSERT_TRUE(sweep(*plan, &threaded_memory, nullptr, &error, &threaded)) << error;
      EXPECT_EQ(threaded_check_memory.bytes(), check_memory.bytes());
    }
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines{std::string(check_memory.bytes())};
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> cells;
      std::istringstream fields(line.substr(0, line.size() - 1));  // without its CR
      for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
      const auto row_cells = static_cast<std::size_t>(check_steepest_cell(kGroups - 1) + 1);
      if (cells.size() == row_cells && cells[0] != "H") rows.push_back(cells);
    }
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.answers.height / c.answers.definition));
    for (const int r : c.rows) {
      // The sweep's own float height and friction angle in radians.
      Ground ground = with_options(
          {double{radians(c.answers.friction_angle)} * 180 / std::numbers::pi, c.answers.cohesion,
           c.answers.density, 0, 0},
          c.options);
      float h = 0.0f;
      for (int i = 0; i <= r; ++i) h += c.answers.definition;
      ground.height = h;
      const auto fs_at = [&](double angle) {
        ground.slope_angle = angle;
        return critical_circle(ground).fs;
      };
      for (int g = 0; g < kGroups; ++g) {
        const double target = kFactorsOfSafety[g].decimal;
        const std::string& chart = rows[r][check_angle_cell(g)];
        const std::string& fs = rows[r][check_fs_cell(g)];
        const std::string& steepest = rows[r][check_steepest_cell(g)];
        SCOPED_TRACE(::testing::Message() << c.answers.friction_angle << " " << c.answers.cohesion
                                          << " h " << h << " FS " << target);
        if (!steepest.empty() && number(steepest) < 90) {
          EXPECT_GE(fs_at(number(steepest)), target) << steepest;
          if (solved) {
            EXPECT_LT(fs_at(std::min(number(steepest) + 0.2, 90.0)), target) << steepest;
          }
          ++checked;
        }
        if (!fs.empty()) {
          const double direct = fs_at(number(chart));
          EXPECT_GE(direct, number(fs)) << chart;
          EXPECT_LT(direct * (1 - (solved ? 1e-3 : 2 * kTableError)), number(fs) + 0.001) << chart;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 60);
}

// At a terminal the progress line is taken away before the trace is
// written after it, and drawn anew on a line of its own, rather than
// glued to the trace ("...method: 100%0.440000  0.44").
TEST(Sweep, ProgressIsWipedBeforeTheTrace) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
  const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(slave, 0);
  std::FILE* terminal = fdopen(slave, "w");
  ASSERT_NE(terminal, nullptr);
  {
    TerminalProgress progress(terminal, terminal, 0);
    progress.at(0.5);
    progress.wipe();
    std::fputs("0.540000  0.540000", terminal);
    progress.at(1);
    progress.clear();
  }
  std::fclose(terminal);
  std::string shown;
  char bytes[512];
  for (ssize_t n; (n = read(master, bytes, sizeof bytes)) > 0;) shown.append(bytes, n);
  close(master);
  const std::string line = "telk: checking by Bishop's method: ";
  const std::string wipe = "\r" + std::string(line.size() + 4, ' ') + "\r";
  EXPECT_EQ(shown, "\r\n" + line + "50%" + wipe + "0.540000  0.540000\r\n" + line + "100%" + wipe);
}
