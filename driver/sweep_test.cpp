#include <filesystem>
#include <limits>
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
