#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "chart/chart.h"
#include "driver/dialogue.h"
#include "driver/sweep.h"
#include "report/cells.h"
#include "report/check_file.h"
#include "report/layout.h"
#include "output/result_file.h"
#include "tests/harness.h"
#include "tests/known_runs.h"

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

// What the check file prints is safe by the solver that --fs uses: at
// Bishop's steepest angle as printed the critical factor of safety reaches
// the column's target, and at the chart's angle it is no less than the
// factor of safety printed.  Random rows of random ordinary sweeps.
TEST(Sweep, CheckFileNumbersAreOnTheSafeSide) {
  std::mt19937 gen(17);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  int checked = 0;
  for (int run = 0; run < 6; ++run) {
    const Answers answers{5 + 40 * unit(gen), 0.5f + 10 * unit(gen), 1.6f + unit(gen), 40, 0.5f};
    MemorySink memory, check_memory;
    Check check(answers, &check_memory);
    std::string error;
    const auto plan = check_sweep(answers, &error);
    ASSERT_TRUE(plan && sweep(*plan, &memory, nullptr, &error, &check)) << error;
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines{std::string(check_memory.bytes())};
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> cells;
      std::istringstream fields(line.substr(0, line.size() - 1));  // without its CR
      for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
      const auto row_cells = static_cast<std::size_t>(check_steepest_cell(kGroups - 1) + 1);
      if (cells.size() == row_cells && cells[0] != "H") rows.push_back(cells);
    }
    ASSERT_EQ(rows.size(), 80u);
    const auto number = [](std::string cell) {
      std::replace(cell.begin(), cell.end(), ',', '.');
      return std::strtod(cell.c_str(), nullptr);
    };
    for (const int r : {static_cast<int>(gen() % 20), 20 + static_cast<int>(gen() % 60)}) {
      // The sweep's own float height and friction angle in radians.
      Ground ground{double{radians(answers.friction_angle)} * 180 / std::numbers::pi,
                    answers.cohesion, answers.density, 0, 0};
      float h = 0.0f;
      for (int i = 0; i <= r; ++i) h += answers.definition;
      ground.height = h;
      for (int g = 0; g < kGroups; ++g) {
        const std::string& chart = rows[r][check_angle_cell(g)];
        const std::string& fs = rows[r][check_fs_cell(g)];
        const std::string& steepest = rows[r][check_steepest_cell(g)];
        if (!steepest.empty() && number(steepest) < 90) {
          ground.slope_angle = number(steepest);
          EXPECT_GE(critical_circle(ground).fs, kFactorsOfSafety[g].decimal) << h << " " << steepest;
          ++checked;
        }
        if (!fs.empty()) {
          ground.slope_angle = number(chart);
          EXPECT_GE(critical_circle(ground).fs, number(fs)) << h << " " << chart;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 30);
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
