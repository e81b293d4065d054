#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "bishop/bishop.h"

using namespace telk;

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;
const double kTwoToOne = std::atan(0.5) / kDegree;  // 26.565 degrees

}  // namespace

TEST(CriticalCircle, PublishedCases) {
  const struct { const char* name; Ground ground; double low, high; } cases[] = {
      // ACADS benchmark 1(a): published Bishop results 0.985 to 0.993.
      {"ACADS 1(a)", {19.6, 3, 20, 10, kTwoToOne}, 0.980, 0.995},
      // Griffiths and Lane (1999), example 1: c / (gamma H) = 0.05.
      {"Griffiths and Lane 1", {20, 0.05, 1, 1, kTwoToOne}, 1.36, 1.40},
      // Cohesionless: the shallow limit, tan(35) / tan(30) = 1.21279.
      {"cohesionless", {35, 0, 18, 10, 30}, 1.21279, 1.21279 * 1.005},
      // Vertical cut in clay: gamma H / c = 3.83 for the toe circle (Taylor).
      {"vertical cut, phi = 0", {0, 10, 20, 3.83 * 10 / 20, 90}, 0.99, 1.01},
  };
  for (const auto& c : cases) {
    const Bishop b = critical_circle(c.ground);
    EXPECT_GE(b.fs, c.low) << c.name;
    EXPECT_LE(b.fs, c.high) << c.name;
    // The circle reported is one whose factor of safety it is.
    const SlipCircle& s = b.circle;
    EXPECT_NEAR(circle_factor_of_safety(c.ground, s.centre_x, s.centre_y, s.radius, nullptr),
                b.fs, 1e-6 * b.fs)
        << c.name;
  }
}

TEST(CriticalCircle, FallsAsTheSlopeRisesAndSteepens) {
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 4; ++i) {
    Ground g{5 + 35 * unit(rng), 20 * unit(rng), 16 + 6 * unit(rng), 3 + 20 * unit(rng),
             10 + 70 * unit(rng)};
    const double fs = critical_circle(g).fs;
    Ground higher = g, steeper = g;
    higher.height *= 1.2;
    steeper.slope_angle += 5;
    EXPECT_LT(critical_circle(higher).fs, fs) << i;
    EXPECT_LT(critical_circle(steeper).fs, fs) << i;
  }
}

TEST(CriticalCircle, NoStrengthIsZero) {
  EXPECT_EQ(critical_circle({0, 0, 20, 10, 45}).fs, 0);
}

TEST(SteepestAngle, TheCriticalFactorOfSafetyThereIsTheTarget) {
  const struct { Ground ground; double target; } cases[] = {
      {{30, 10, 20, 8, 0}, 1.3},   // a face circle's angle
      {{20, 40, 20, 5, 0}, 1.5},   // strong enough for a vertical cut
      {{10, 2, 20, 20, 0}, 1.0},
  };
  for (const auto& c : cases) {
    const double beta = steepest_angle(c.ground, c.target);
    Ground g = c.ground;
    g.slope_angle = beta;
    const double fs = critical_circle(g).fs;
    if (beta == 90) {
      EXPECT_GE(fs, c.target);
    } else {
      EXPECT_NEAR(fs, c.target, 1e-3) << beta;
    }
    // And the fast path's angle, within what 0.1% of the factor of safety
    // moves the angle by (the table's factor of safety falls by some
    // percent a degree), and the solver's 0.01 degree.
    const double tan_phi = std::tan(g.friction_angle * kDegree);
    const double fast = check_steepest_angle(tan_phi, g.cohesion, g.unit_weight, g.height,
                                             c.target);
    const double per_degree =
        check_factor_of_safety(tan_phi, g.cohesion, g.unit_weight, g.height, beta - 0.5) -
        check_factor_of_safety(tan_phi, g.cohesion, g.unit_weight, g.height, beta + 0.5);
    EXPECT_NEAR(fast, beta, beta == 90 ? 0 : 1e-3 * c.target / per_degree + 0.01);
  }
}

TEST(SteepestAngle, NoneWhereEvenTheFlattestSlopeFallsShort) {
  EXPECT_TRUE(std::isnan(steepest_angle({0, 1, 20, 10, 0}, 1.5)));
}

TEST(ValidGround, SaysWhichInputIsWrong) {
  const double inf = INFINITY, nan = NAN;
  const struct { Ground ground; const char* word; } cases[] = {
      {{-1, 10, 20, 10, 30}, "friction"}, {{90, 10, 20, 10, 30}, "friction"},
      {{nan, 10, 20, 10, 30}, "friction"}, {{30, -1, 20, 10, 30}, "cohesion"},
      {{30, inf, 20, 10, 30}, "cohesion"}, {{30, 10, 0, 10, 30}, "unit weight"},
      {{30, 10, 20, -1, 30}, "height"},    {{30, 10, 20, inf, 30}, "height"},
      {{30, 10, 20, 10, 0}, "slope"},      {{30, 10, 20, 10, 90.5}, "slope"},
      {{30, 1e300, 1e-300, 1e-300, 30}, "too large"},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_FALSE(valid_ground(c.ground, &why)) << c.word;
    EXPECT_NE(why.find(c.word), std::string::npos) << why;
  }
  EXPECT_TRUE(valid_ground({0, 0, 20, 10, 90}, nullptr));
}
