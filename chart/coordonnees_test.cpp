#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "chart/chart.h"

using namespace telk;

TEST(Arrondir, RoundsHalfUpOnTheScaledFloat) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct { float v, want; } cases[] = {
      {0.5386f, 0.54f}, {0.4668f, 0.47f}, {0.0999f, 0.1f}, {0.004f, 0.0f},
      {0.005f, 0.01f},  {0.145f, 0.15f},  // 144.999996 becomes the float 145
      {0.2149f, 0.21f}, {0.215f, 0.22f},  {-0.127f, -0.12f},  // cut toward zero
      {3e6f, 3e6f},     {-2147484.5f, -2147484.5f},  // beyond 32 bits, exact
      {inf, inf},       {1e37f, 1e37f},  // scaled form not finite: unchanged
  };
  for (const auto& c : cases) EXPECT_EQ(arrondir(c.v, 2), c.want) << c.v;
  EXPECT_TRUE(std::isnan(arrondir(std::nanf(""), 2)));
  EXPECT_EQ(tronquer(-5.75f, 0), -5.0f);
  EXPECT_EQ(decimale(-5.75f), -0.75f);
  EXPECT_EQ(tronquer(3.5e9f, 0), 3.5e9f);
}

// The rule as it reads, the last digit taken with fmod, against arrondir
// over any float at all and over the values a sweep meets.
TEST(Arrondir, IsThePlainRuleOnAnyFloat) {
  auto plain = [](float v) {
    const float s = static_cast<float>(1000.0 * double{v});
    if (!std::isfinite(s)) return v;
    double e = std::trunc(double{s});
    const double d = std::fmod(e, 10.0);
    e = d > 4 ? e - d + 10 : e - d;
    return static_cast<float>(e / 1000.0);
  };
  std::mt19937 gen(9);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_real_distribution<float> near(-5.0f, 5.0f);
  for (int i = 0; i < 2000000; ++i) {
    const float v = i % 2 ? std::bit_cast<float>(bits(gen)) : near(gen);
    const float want = plain(v), got = arrondir(v, 2);
    ASSERT_TRUE(std::bit_cast<std::uint32_t>(got) == std::bit_cast<std::uint32_t>(want) ||
                (std::isnan(got) && std::isnan(want)))
        << v;
  }
}

// The float nearest a two-decimal value: half up for positives, cut toward
// zero for negatives.
TEST(Arrondir, LandsOnTheFloatOfANearbyTwoDecimalValue) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> dist(-50.0f, 50.0f);
  for (int i = 0; i < 100000; ++i) {
    const float v = dist(gen);
    const float r = arrondir(v, 2);
    const double n = std::round(double{r} * 100.0) / 100.0;
    ASSERT_EQ(r, static_cast<float>(n)) << v;
    const double low = v >= 0 ? v - 0.005 : v, high = v >= 0 ? v + 0.005 : v + 0.01;
    ASSERT_TRUE(n >= low - 1e-5 && n <= high + 1e-5) << v;
  }
}

// The key is the hundredths of the rounded ratio, or one less where its
// float lies below the two-decimal number: 0.21 is held as 0.20999999.
TEST(Cle, IsOneBelowTheHundredthsWhereTheFloatFallsShort) {
  for (int n = -120; n <= 120; ++n) {
    const float x = arrondir(n / 100.0f, 2);
    const int sign = n < 0 ? -1 : 1;  // toward zero: one above for negatives
    const int want = std::abs(double{x}) < std::abs(n / 100.0) ? n - sign : n;
    EXPECT_EQ(cle(x), want) << n;
  }
  const struct { float x; int key; } named[] = {
      {0.21f, 20}, {0.47f, 46}, {0.70f, 69}, {0.11f, 10}, {0.96f, 95},
      {1.01f, 100}, {0.90f, 89}, {0.95f, 94}, {0.25f, 25}, {0.54f, 54},
  };
  for (const auto& c : named) EXPECT_EQ(cle(arrondir(c.x, 2)), c.key) << c.x;
  EXPECT_EQ(cle(std::nanf("")), kCleAucune);
  EXPECT_EQ(cle(1e30f), kCleAucune);
}
