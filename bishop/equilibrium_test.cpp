#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "bishop/bishop.h"
#include "bishop/load.h"
#include "bishop/slices.h"

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
    // Every other circle under an earthquake's load; every third with a
    // dry tension crack and a load on the crest.
    if (i % 2 == 1) c.ground.shaking = {0.5 * unit(rng), 0.4 * unit(rng) - 0.2};
    if (i % 3 == 2) {
      c.ground.crack.depth = 0.5 * c.ground.height * unit(rng);
      c.ground.load = {100 * unit(rng), c.ground.height * unit(rng), c.ground.height * unit(rng)};
    }
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
      {5, 11, 0.5, "inside the crest"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(std::isnan(circle_factor_of_safety(ground, c.cx, c.cy, c.r, nullptr))) << c.why;
  }
}

// Where a circle dips below the base its slip follows the base, and in
// the moment about the centre a slice there has its weight and normal
// force cancel and its strength act at yc + D rather than the radius:
// with phi = 0, F = c (R L_arc + (yc + D) L_base) / M, M the moment of the
// weight above the arc's parts alone.  That sum over thin columns, on a
// 30 degree clay slope on a base half its height down, for circles that
// dip below it (one in front of the toe), and one that touches it: the
// same as the circle's own, whose dip below the base changes nothing.
TEST(CircleFactorOfSafety, FollowsTheBaseWhereTheCircleDipsBelowIt) {
  Ground ground{0, 1, 1, 1, 30};
  ground.base_depth = 0.5;
  const double crest = 1 / std::tan(30 * 3.14159265358979 / 180);
  auto ground_y = [&](double x) { return std::clamp(x / crest, 0.0, 1.0); };
  for (const double r : {2.3, 2.5, 2.8}) {
    const double cx = 1, cy = 1.8;
    auto arc_y = [&](double x) { return cy - std::sqrt(std::max(0.0, r * r - (x - cx) * (x - cx))); };
    // The ends: where the arc meets the ground, by bisection from inside.
    auto end = [&](double inside, double outside) {
      for (int i = 0; i < 200; ++i) {
        const double mid = (inside + outside) / 2;
        (arc_y(mid) < ground_y(mid) ? inside : outside) = mid;
      }
      return inside;
    };
    const double x0 = end(cx, cx - r), x1 = end(cx, cx + r);
    const double half = std::sqrt(std::max(0.0, r * r - (cy + 0.5) * (cy + 0.5)));
    double moment = 0, along_arc = 0, along_base = 0;
    constexpr int kColumns = 200000;
    for (int i = 0; i < kColumns; ++i) {
      const double a = x0 + (x1 - x0) * i / kColumns, b = x0 + (x1 - x0) * (i + 1) / kColumns;
      const double m = (a + b) / 2;
      if (std::abs(m - cx) < half) {
        along_base += b - a;
      } else {
        moment += (ground_y(m) - arc_y(m)) * (b - a) * (m - cx);
        along_arc += std::hypot(b - a, arc_y(b) - arc_y(a));
      }
    }
    const double expected = (r * along_arc + (cy + 0.5) * along_base) / moment;
    EXPECT_NEAR(circle_factor_of_safety(ground, cx, cy, r, nullptr, 1024), expected, 2e-5 * expected)
        << r;
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
}

// Where Bishop's equation has no root, no factor of safety: a nearly planar
// slip through the toe of a 70 degree face with r_u 0.4, whose strength
// with friction shrinks faster than its weight as F falls, however strong
// the soil (ten times the strength, still none).
TEST(CircleFactorOfSafety, NoneWhereBishopsEquationHasNoRoot) {
  for (const double k : {1.0, 10.0}) {
    const Ground ground{std::atan(k * std::tan(10 * 3.14159265358979 / 180)) * 180 / 3.14159265358979,
                        0.5 * k, 18, 10, 70, {0.4}};
    EXPECT_TRUE(std::isnan(circle_factor_of_safety(ground, -45.523, 40.023, 60.615, nullptr))) << k;
    const SlipAnswer given = given_circle(ground, -45.523, 40.023, 60.615);
    EXPECT_TRUE(given.unsolved && std::isnan(given.fs)) << k;
  }
}

// The slices of a slip that a tension crack cuts, and under a strip load,
// weigh the soil between the ground and the arc from the exit to the
// crack and carry the load over that span: against the integral across
// it, taken in fine steps.
TEST(Slices, WeighTheSoilUpToTheCrackAndCarryTheLoadOverIt) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  int cut = 0;
  for (int i = 0; i < 100; ++i) {
    Case c = random_case(rng);
    c.ground.crack.depth = 0.5 * c.ground.height * unit(rng);
    c.ground.load = {10 * unit(rng), c.ground.height * unit(rng), c.ground.height * unit(rng)};
    const Section section = section_of(c.ground);
    const double h = c.ground.height;
    const std::optional<Arc> arc = slip_arc(section, c.cx / h, c.cy / h, c.r / h);
    if (!arc || arc->base_from < arc->base_to) continue;
    cut += arc->crack > 0;
    // The crack's foot is on the circle at its level, its top on the ground.
    if (arc->crack > 0) {
      EXPECT_NEAR(arc->entry_y, 1 - section.crack_depth, 1e-12) << i;
      EXPECT_NEAR(std::hypot(arc->entry_x - arc->centre_x, arc->entry_y - arc->centre_y),
                  arc->radius, 1e-9 * arc->radius) << i;
      EXPECT_NEAR(arc->entry_y + arc->crack, ground_y(section, arc->entry_x), 1e-12) << i;
    }
    double weight = 0, load = 0;
    for (const Slice& s : slices_of(section, *arc, kSlices)) weight += s.weight, load += s.load;
    const int steps = 200000;
    const double dx = (arc->entry_x - arc->exit_x) / steps;
    double area = 0;
    for (int k = 0; k < steps; ++k) {
      const double x = arc->exit_x + (k + 0.5) * dx, u = x - arc->centre_x;
      area += (ground_y(section, x) - (arc->centre_y - std::sqrt(arc->radius * arc->radius - u * u))) * dx;
    }
    EXPECT_NEAR(weight, area, 1e-6 * area + 1e-15) << i;
    EXPECT_NEAR(load, load_between(section, arc->exit_x, arc->entry_x), 1e-12 * (1 + load)) << i;
  }
  EXPECT_GT(cut, 20);
}
