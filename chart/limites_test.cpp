#include <cmath>

#include <gtest/gtest.h>

#include "chart/chart.h"

using namespace telk;

TEST(Validite, ComparesTheFloatRatioWithTheDoubleLimitOfTheKeysRow) {
  const float nan = std::nanf("");
  const struct { float x, y; int want; } cases[] = {
      {0.21f, 1.80f, kDedans},  // key 20, limit 2.0 (not row 21's 1.7)
      {0.52f, 0.59f, kDedans},  {0.52f, 0.60f, kAuDela},  // key 51, limit 0.6
      {0.54f, 0.54f, kDedans},  {0.54f, 0.55f, kAuDela},  // 0.55000001 >= 0.55
      {0.56f, 0.52f, kDedans},  // 0.51999998 < 0.52
      {1.00f, 0.20f, kDedans},  {1.00f, 0.21f, kAuDela},
      {0.96f, 0.22f, kDedans},  {0.96f, 0.23f, kAuDela},  // key 95, 0.228
      {0.11f, 4.20f, kDedans},  {0.11f, 4.21f, kAuDela},  // key 10, 4.2
      {0.30f, 1.30f, kDedans},  // 1.29999995 < 1.3
      {0.54f, nan, kDedans},    // not a number is not beyond the limit
      {0.90f, 0.10f, kSansVerdict},  // key 89, though row 90 exists
      {0.95f, 0.10f, kSansVerdict},  {0.15f, 0.10f, kSansVerdict},
      {0.00f, 0.10f, kSansVerdict},  {1.19f, 0.10f, kSansVerdict},
      {-0.5f, 0.10f, kSansVerdict},  {nan, 0.10f, kSansVerdict},
      {0.54f, -0.01f, kSansVerdict},  {0.54f, 0.0f, kDedans},  // below the chart
  };
  for (const auto& c : cases) {
    EXPECT_EQ(validite(arrondir(c.x, 2), arrondir(c.y, 2)), c.want)
        << c.x << " " << c.y;
  }
}
