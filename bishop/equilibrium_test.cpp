#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "bishop/bishop.h"

using namespace telk;

namespace {

constexpr double kDegree = std::numbers::pi / 180;

// A random slope and a circle through its toe, the family of most critical
// circles: centre above the toe's side, so that the arc rises from the toe.
struct Case {
  Ground ground;
  double cx, cy, r;
};

Case random_case(std::mt19937_64& rng) {
  std::uniform_real_distribution<double> unit(0, 1);
  Case c;
  c.ground = {40 * unit(rng), 30 * unit(rng), 15 + 10 * unit(rng), 2 + 20 * unit(rng),
              15 + 75 * unit(rng)};
  const double h = c.ground.height;
  const double crest = h / std::tan(c.ground.slope_angle * kDegree);
  c.cx = -(0.05 + 0.6 * unit(rng)) * (crest + h);
  c.cy = h * (1.1 + 1.5 * unit(rng));
  c.r = std::hypot(c.cx, c.cy);  // through the toe
  return c;
}

}  // namespace

TEST(CircleFactorOfSafety, ScalesWithCohesionAndTanPhiTogetherUnderAnyLoad) {
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 200; ++i) {
    Case c = random_case(rng);
    // Every other circle under an earthquake's load.
    if (i % 2 == 1) c.ground.shaking = {0.5 * unit(rng), 0.4 * unit(rng) - 0.2};
    const double fs = circle_factor_of_safety(c.ground, c.cx, c.cy, c.r, nullptr);
    if (!std::isfinite(fs)) continue;
    for (const double k : {0.3, 2.5}) {
      Ground scaled = c.ground;
      scaled.cohesion *= k;
      scaled.friction_angle =
          std::atan(k * std::tan(c.ground.friction_angle * kDegree)) / kDegree;
      EXPECT_NEAR(circle_factor_of_safety(scaled, c.cx, c.cy, c.r, nullptr), k * fs,
                  1e-6 * k * fs)
          << i;
    }
  }
}

TEST(CircleFactorOfSafety, DoublingTheSlicesChangesLessThanFiveHundredthsOfAPercent) {
  std::mt19937_64 rng(2);
  int finite = 0;
  for (int i = 0; i < 200; ++i) {
    const Case c = random_case(rng);
    const double fs = circle_factor_of_safety(c.ground, c.cx, c.cy, c.r, nullptr);
    if (!std::isfinite(fs)) continue;
    ++finite;
    const double twice = circle_factor_of_safety(c.ground, c.cx, c.cy, c.r, nullptr, 2 * kSlices);
    EXPECT_NEAR(twice, fs, 5e-4 * fs) << i;
  }
  EXPECT_GT(finite, 100);
}

TEST(CircleFactorOfSafety, RejectsCirclesThatAreNoSlipOfTheGround) {
  const Ground ground{30, 10, 20, 10, 45};
  const struct { double cx, cy, r; const char* why; } cases[] = {
      {5, 30, 5, "above the ground"},
      {-10, 8, 14, "dips below the toe"},
      {5, 5, 4, "below the base"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(std::isnan(circle_factor_of_safety(ground, c.cx, c.cy, c.r, nullptr))) << c.why;
  }
}

TEST(CircleFactorOfSafety, FloorsMAlphaOfASteepToeSliceAndStaysPositive) {
  // A small circle centred at the crest's height behind a 30 degree face:
  // its arc rises steeply toward the exit, where m_alpha = cos(alpha) +
  // sin(alpha) tan(phi) / F would fall below the floor, and turn negative.
  const Ground ground{40, 0, 20, 10, 30};
  bool floored = false;
  const double fs = circle_factor_of_safety(ground, 20, 10, 4, &floored);
  EXPECT_TRUE(floored);
  EXPECT_GT(fs, 0);
  EXPECT_TRUE(std::isfinite(fs));
}

TEST(CircleFactorOfSafety, NoStrengthIsZero) {
  EXPECT_EQ(circle_factor_of_safety({0, 0, 20, 10, 45}, -2, 15, std::hypot(2, 15), nullptr), 0);
  // Nor where Bishop's equation has no root: a nearly planar slip through
  // the toe of a 70 degree face with r_u 0.4, whose strength with friction
  // shrinks faster than its weight as F falls.
  EXPECT_EQ(circle_factor_of_safety({10, 0.5, 18, 10, 70, {0.4}}, -45.523, 40.023, 60.615, nullptr),
            0);
}
