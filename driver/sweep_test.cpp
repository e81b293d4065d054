#include <filesystem>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "driver/sweep.h"
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
    ASSERT_EQ(check_sweep(height, definition, &error), !drifts) << height << " " << definition;
    refused += drifts;
  }
  EXPECT_GT(refused, 100);  // both outcomes are well represented
  EXPECT_LT(refused, 500);
}

// The same sweep that writes the file, into memory, gives the file's bytes.
TEST(Sweep, WritesTheWholeFileIntoMemory) {
  for (const KnownRun& run : kKnownRuns) {
    Answers answers{};
    std::istringstream(run.answers) >> answers.friction_angle >> answers.cohesion >>
        answers.density >> answers.height >> answers.definition;
    MemorySink memory;
    std::string error;
    ASSERT_TRUE(sweep(answers, &memory, nullptr, &error)) << error;
    EXPECT_EQ(memory.bytes(), harness::slurp(std::filesystem::path(TELK_EXPECTED_DIR) /
                                             (std::string(run.name) + ".xls")))
        << run.name;
  }
}
