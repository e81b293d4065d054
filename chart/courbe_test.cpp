#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "chart/chart.h"

using namespace telk;

TEST(SlopeAngle, ReadsTheCurveCapsItAndInventsNothing) {
  const double none = std::nan("");
  const struct { float x, y; double want; } cases[] = {
      {0.58f, 0.35f, 85.89},  // key 57, cubic
      {0.70f, 0.26f, 86.59},  // key 69
      {0.44f, 0.35f, 74.55},  // key 43, quartic
      {0.25f, 0.00f, 14.213},
      {0.54f, 0.52f, 90},     // the curve gives 90.11
      {0.30f, 1.30f, 90},     // 90.003
      {0.54f, 0.55f, 90},     // beyond the limit
      // Inside a limit but without a curve (keys 10, 85, 95, 100), or no row.
      {0.11f, 0.1f, none}, {0.85f, 0.1f, none}, {0.96f, 0.1f, none},
      {1.00f, 0.1f, none}, {0.90f, 0.1f, none},
  };
  for (const auto& c : cases) {
    const float got = slope_angle(arrondir(c.x, 2), arrondir(c.y, 2));
    if (std::isnan(c.want)) {
      EXPECT_TRUE(std::isnan(got)) << c.x;
    } else {
      EXPECT_NEAR(got, c.want, 0.006) << c.x << " " << c.y;
    }
  }
  EXPECT_NEAR(pente(arrondir(0.54f, 2), arrondir(0.52f, 2)), 90.11, 0.006);
}

TEST(C4, QuarticsEndAtTheDouble052) {
  EXPECT_EQ(C4(arrondir(0.52f, 2)), 716.61f);  // the float 0.52 keeps row 51
  EXPECT_EQ(C0(arrondir(0.53f, 2)), 27.65f);   // 0.53 takes the cubic of 52
  std::mt19937 gen(3);
  std::uniform_real_distribution<float> dist(0.2f, 0.81f);
  for (int i = 0; i < 100000; ++i) {
    const float x = dist(gen);
    ASSERT_EQ(C4(x) == 0.0f, cle(x) >= 52) << x;
  }
}
