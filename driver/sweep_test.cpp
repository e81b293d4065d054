#include <climits>
#include <limits>

#include <gtest/gtest.h>

#include "driver/sweep.h"

TEST(RowCount, TruncatesTheExactQuotient) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct { float height, definition; int want; } cases[] = {
      {10, 3, 3},       {1, 0.1f, 9},     {3, 0.1f, 29},  {3.2f, 0.1f, 32},
      {1, 5, 0},        {-10, -3, 3},     {-10, 3, -3},   {10, 0, INT_MIN},
      {0, 0, INT_MIN},  {1e30f, 1e-30f, INT_MIN},         {inf, 1, INT_MIN},
  };
  for (const auto& c : cases)
    EXPECT_EQ(telk::row_count(c.height, c.definition), c.want) << c.height;
}
