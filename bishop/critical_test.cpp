#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "bishop/bishop.h"
#include "bishop/steepest.h"
#include "tests/sizes.h"

using namespace telk;

namespace {

constexpr double kDegree = std::numbers::pi / 180;
const double kTwoToOne = std::atan(0.5) / kDegree;  // 26.565 degrees

}  // namespace

TEST(CriticalCircle, PublishedCases) {
  const struct { const char* name; Ground ground; double low, high; } cases[] = {
      // ACADS benchmark 1(a): published Bishop results 0.985 to 0.993.
      {"ACADS 1(a)", {19.6, 3, 20, 10, kTwoToOne}, 0.980, 0.995},
      // Griffiths and Lane (1999), example 1: c / (gamma H) = 0.05.
      {"Griffiths and Lane 1", {20, 0.05, 1, 1, kTwoToOne}, 1.36, 1.40},
      // Cohesionless: the plane just under the face, tan(35) / tan(30).
      {"cohesionless", {35, 0, 18, 10, 30}, 1.212795, 1.212796},
      // Vertical cut in clay: gamma H / c = 3.83 for the toe circle (Taylor).
      {"vertical cut, phi = 0", {0, 10, 20, 3.83 * 10 / 20, 90}, 0.99, 1.01},
      // Li and Lumb (1987): 1:1, H 10 m, c' 18 kPa, phi' 30, gamma 18 kN/m3,
      // r_u 0.2, a firm base 5 m below the toe: Bishop 1.334.
      {"Li and Lumb", {30, 18, 18, 10, 45, {0.2}, 5}, 1.334 * 0.985, 1.334 * 1.015},
      // Morgenstern (1963), complete drawdown: 3:1, H 100 ft, c' 312 psf,
      // phi' 30, gamma 124.8 pcf, the water table on the ground surface
      // (level above it, taken at it), gamma_w 62.4 pcf: 1.20 by the
      // chart, 1.212 by Bishop elsewhere.
      {"Morgenstern drawdown", {30, 312, 124.8, 100, std::atan(1.0 / 3) / kDegree, {0, 2, {0, 1}, {2, 2}, 62.4}},
       1.20 * 0.97, 1.212 * 1.03},
      // Cohesionless with r_u: (1 - r_u sec^2(beta)) tan(phi) / tan(beta).
      {"cohesionless, r_u 0.3", {35, 0, 18, 10, 30, {0.3}}, 0.727677, 0.727678},
      // Clay on a deep firm base, beta below 53 degrees: Taylor's stability
      // number gamma H / c tends to 5.52 as the base deepens.
      {"Taylor, phi = 0, deep base", {0, 1, 5.52, 1, 30, {}, 16}, 0.99, 1.02},
      // Loukidis, Bandini and Salgado (2003), example 1: 3:1, H 25 m, c' 25
      // kPa, phi' 30, gamma 20 kN/m3, base 25 m below the toe, k_h 0.432:
      // Bishop on circles 0.991.
      {"Loukidis et al. 1", {30, 25, 20, 25, std::atan(1.0 / 3) / kDegree, {}, 25, {0.432}},
       0.991 * 0.985, 0.991 * 1.015},
      // Cohesionless under k_h:
      // tan(phi) (cos(beta) - k_h sin(beta)) / (sin(beta) + k_h cos(beta)).
      {"cohesionless, k_h 0.2", {35, 0, 18, 10, 30, {}, 0, {0.2}}, 0.796750, 0.796751},
      // Giam and Donald (1989), ACADS 1(b): 1(a)'s slope, c' 32 kPa, phi' 10,
      // a tension crack 2c / (gamma tan(45 - phi / 2)) = 3.81 m deep full of
      // water: referee 1.65, published Bishop searches 1.59 to 1.70.
      {"ACADS 1(b)", {10, 32, 20, 10, kTwoToOne, {}, 0, {}, {0, true, 1, 9.81}}, 1.59, 1.70},
      // A load set back from the crest's edge of a cohesionless slope: the
      // plane just under the face carries none, tan(33) / tan(30) = 1.1248.
      {"cohesionless, a load 2 m back", {33, 0, 19, 8, 30, {}, 0, {}, {}, {40, 2}}, 1.124806,
       1.124807},
      // A vertical cut in clay with a crack half its height deep stands to
      // about 2.67 c / gamma (Terzaghi), not 3.83.
      {"vertical cut, a crack H / 2", {0, 1, 1, 2.67, 90, {}, 0, {}, {1.335}}, 0.97, 1.03},
  };
  for (const auto& c : cases) {
    const SlipAnswer b = critical_circle(c.ground);
    EXPECT_GE(b.fs, c.low) << c.name;
    EXPECT_LE(b.fs, c.high) << c.name;
    // The circle reported is one whose factor of safety it is; without
    // cohesion there is none, but the plane.
    const Arc& s = b.arc;
    if (c.ground.cohesion == 0) {
      EXPECT_TRUE(std::isnan(s.radius)) << c.name;
      continue;
    }
    EXPECT_NEAR(circle_factor_of_safety(c.ground, s.centre_x, s.centre_y, s.radius, nullptr),
                b.fs, 1e-6 * b.fs)
        << c.name;
  }
}

namespace {

// Slopes of unit height and unit weight whose factor of safety has two
// valleys, a toe circle in one up to 1% below the nearest grid minimum in
// the other: friction, much cohesion, 53 to 71 degrees.
const Ground kTwoValleys[] = {
    {12.905, 0.4739, 1, 1, 70.443},  {7.97367, 0.29676, 1, 1, 70.65},
    {6.09, 5 / 18.0, 1, 1, 68.2},    {17.1335, 0.10935, 1, 1, 53.525},
    {28.2439, 0.730442, 1, 1, 58.31}, {13.2546, 0.31962, 1, 1, 58.131},
};

// The least factor of safety over circles through the toe, by brute force:
// their centres on a grid, then the best moved in halving steps while that
// gains.  Circles that are no slip circle (not a number) are passed over;
// on a base at the toe, as these slopes are, the slips of those whose
// centre is beyond the toe follow the base from it.
double least_toe_circle(const Ground& g) {
  const double crest = 1 / std::tan(g.slope_angle * kDegree);
  auto fs = [&](double cx, double cy) {
    const double f = circle_factor_of_safety(g, cx, cy, std::hypot(cx, cy), nullptr);
    return std::isnan(f) ? INFINITY : f;
  };
  double best = INFINITY, bx = 0, by = 0;
  for (int i = 0; i <= 60; ++i) {
    for (int j = 0; j <= 60; ++j) {
      const double cx = -2 + (crest + 3) * i / 60, cy = 4.0 * j / 60, f = fs(cx, cy);
      if (f < best) best = f, bx = cx, by = cy;
    }
  }
  for (double step = 0.05; step > 1e-7;) {
    const double moves[4][2] = {{step, 0}, {-step, 0}, {0, step}, {0, -step}};
    bool moved = false;
    for (const auto& m : moves) {
      const double f = fs(bx + m[0], by + m[1]);
      if (f < best) best = f, bx += m[0], by += m[1], moved = true;
    }
    if (!moved) step /= 2;
  }
  return best;
}

}  // namespace

// The factor of safety is smooth in the slope angle: a search that finds
// one valley at one angle and another at the next jumps.  Also wet and
// shaken on a deeper base, where the least is a circle through the toe
// beside slips along the base in front of it, which the search took up
// to 29.25 degrees, 0.36% above.
TEST(CriticalCircle, IsContinuousInTheSlopeAngle) {
  std::vector<Ground> slopes(std::begin(kTwoValleys), std::end(kTwoValleys));
  slopes.push_back({33.05, 0.058, 2, 1, 29.25, {0, 3, {1.79, 3.042, 4.832}, {0.1114, 0.2126, 0.1474}, 1},
                    1.002, {0.24}});
  for (const Ground& g : slopes) {
    Ground at = g;
    at.slope_angle = g.slope_angle - 0.25;
    double last = critical_circle(at).fs;
    for (int k = 1; k <= 10; ++k) {
      at.slope_angle = g.slope_angle - 0.25 + 0.05 * k;
      const double fs = critical_circle(at).fs;
      EXPECT_NEAR(fs, last, 2e-3 * last) << g.friction_angle << " " << at.slope_angle;
      last = fs;
    }
  }
}

// No circle through the toe is more than 0.1% below the critical one, on
// the slopes above, on random steep ones, and on a wet one on a deeper
// base whose least enters the crest just behind the edge, beside a valley
// entering the face just below it, 0.17% above.
TEST(CriticalCircle, NoToeCircleFoundByBruteForceIsLower) {
  std::vector<Ground> slopes(std::begin(kTwoValleys), std::end(kTwoValleys));
  slopes.push_back({25.2464, 2.3228 / 35, 2.1939, 1, 41, {0, 2, {0, 2.31}, {0.444, 0.5586}, 1},
                    1.7949 / 35});
  std::mt19937_64 rng(8);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 24; ++i) {
    const double phi = 40 * unit(rng), s = unit(rng);
    slopes.push_back({phi, i % 2 ? 2 * s * s : (1 + 3 * s) * std::tan(phi * kDegree), 1, 1,
                      40 + 50 * unit(rng)});
  }
  for (const Ground& g : slopes) {
    EXPECT_LE(critical_circle(g).fs, 1.001 * least_toe_circle(g))
        << g.friction_angle << " " << g.cohesion << " " << g.slope_angle;
  }
}

TEST(CriticalCircle, FallsAsTheSlopeRisesSteepensWetsAndShakesAndAsItsBaseDeepens) {
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 4; ++i) {
    Ground g{5 + 35 * unit(rng), 20 * unit(rng), 16 + 6 * unit(rng), 3 + 20 * unit(rng),
             10 + 70 * unit(rng)};
    const SlipAnswer dry = critical_circle(g);
    const double fs = dry.fs;
    Ground higher = g, steeper = g;
    higher.height *= 1.2;
    steeper.slope_angle += 5;
    EXPECT_LT(critical_circle(higher).fs, fs) << i;
    EXPECT_LT(critical_circle(steeper).fs, fs) << i;
    // Water: more pore pressure, less strength; a deeper base lets deeper
    // circles in, and can only lower it (to the search's precision).
    const struct {
      const char* what;
      void (*set)(Ground*, double);
      double values[2];
      double slack;  // how far above the last it may be; 0: strictly below
      void (*first)(Ground*) = nullptr;  // the ground the values change, where not g
    } kinds[] = {
        {"r_u", [](Ground* w, double v) { w->water.pore_ratio = v; }, {0.15, 0.3}, 0},
        {"table at", [](Ground* w, double v) { w->water = {0, 2, {0, 4}, {v, v}, 1}; }, {0.3, 0.8}, 0},
        {"base", [](Ground* w, double v) { w->base_depth = v * w->height; }, {0.5, 2.0}, 1e-4},
        {"k_h", [](Ground* w, double v) { w->shaking.horizontal = v; }, {0.1, 0.25}, 0},
        // Water fills a crack of Rankine's depth, dry at first; a load
        // presses on the whole crest.
        {"crack's water", [](Ground* w, double v) { w->crack = {0, true, v, 9.81}; }, {0.5, 1}, 0,
         [](Ground* w) { w->crack.rankine = true; }},
        {"load", [](Ground* w, double v) { w->load.pressure = v * w->unit_weight * w->height; },
         {0.1, 0.3}, 0},
    };
    // The critical circle as --fs prints it, its numbers to three
    // decimals, typed back: a slip, of that factor of safety.
    auto given_back = [](const Ground& ground, const SlipAnswer& critical) {
      auto printed = [](double v) { return std::round(v * 1000) / 1000; };
      const Arc& c = critical.arc;
      const double f = given_circle(ground, printed(c.centre_x), printed(c.centre_y),
                                    printed(c.radius), 0.0013).fs;
      EXPECT_NEAR(f, critical.fs, 2e-3 * critical.fs)
          << ground.friction_angle << " " << ground.cohesion << " " << ground.slope_angle;
    };
    for (const auto& kind : kinds) {
      Ground from = g;
      if (kind.first != nullptr) kind.first(&from);
      double last = kind.first != nullptr ? critical_circle(from).fs : fs;
      for (const double v : kind.values) {
        Ground changed = from;
        kind.set(&changed, v);
        const SlipAnswer critical = critical_circle(changed);
        if (!critical.sliding) given_back(changed, critical);
        const double f = critical.fs;
        // Where it is taken to fall as the slope steepens, it does; with
        // r_u on the deeper base and under the load too.
        if (falls_as_it_steepens(changed)) {
          Ground flatter = changed;
          if (v == kind.values[1]) flatter.water.pore_ratio = std::max(flatter.water.pore_ratio, 0.2);
          Ground steeper = flatter;
          steeper.slope_angle += 5;
          const double at =
              flatter.water.pore_ratio == changed.water.pore_ratio ? f : critical_circle(flatter).fs;
          EXPECT_LT(critical_circle(steeper).fs, at) << i << " " << kind.what << " " << v;
        }
        if (kind.slack == 0) {
          EXPECT_LT(f, last) << i << " " << kind.what << " " << v;
        } else {
          EXPECT_LE(f, last * (1 + kind.slack)) << i << " " << kind.what << " " << v;
        }
        last = f;
      }
    }
    // The yield coefficient as --fs prints it, cut to three decimals: there
    // the critical factor of safety is 1 to 1.002.  Without cohesion it is
    // tan(phi - beta).
    Ground shaken = g, sand = g;
    const Yield yield = yield_coefficient(g);
    shaken.shaking.horizontal = std::floor(yield.coefficient * 1000) / 1000;
    if (yield.beyond) {
      EXPECT_GT(critical_circle(shaken).fs, 1) << i;
    } else if (fs > 1) {
      EXPECT_GE(critical_circle(shaken).fs, 1) << i;
      EXPECT_LE(critical_circle(shaken).fs, 1.002) << i;
    } else {
      EXPECT_EQ(shaken.shaking.horizontal, 0) << i;
    }
    sand.cohesion = 0;
    EXPECT_NEAR(yield_coefficient(sand).coefficient,
                std::max(0.0, std::tan((g.friction_angle - g.slope_angle) * kDegree)), 1e-12)
        << i;
    // A load beyond the furthest circle the search reaches changes nothing.
    Ground far = g;
    far.load = {1000, 1e7 * g.height};
    EXPECT_EQ(critical_circle(far).fs, fs) << i;
    // No circle is below the critical one, and the critical one given back
    // is its value.
    const Arc& c = dry.arc;
    EXPECT_NEAR(given_circle(g, c.centre_x, c.centre_y, c.radius).fs, fs, 1e-9 * fs) << i;
    given_back(g, dry);
    for (int k = 0; k < 50; ++k) {
      const double cx = c.centre_x + g.height * (unit(rng) - 0.5), cy = c.centre_y + g.height * unit(rng);
      const double r = std::hypot(cx, cy) * (0.8 + 0.4 * unit(rng));
      const double f = given_circle(g, cx, cy, r).fs;
      if (f == f) {
        EXPECT_GE(f, fs * (1 - 1e-6)) << i << " " << cx << " " << cy << " " << r;
      }
    }
  }
}

// Under an earthquake's load over a deep base the critical slip runs long
// and flat along the base, past any fixed reach: on these slopes a circle
// far out (and, on the second, a slip along the base of about 1.37) is
// below the least within the search's first reach.  Ever longer slips
// along the base tend to the level ground behind the crest sliding on it,
// (c + ((1 - k_v) gamma z - u) tan(phi)) / (k_h gamma z), z = H + D,
// worked out by hand here: none reads above either.
TEST(CriticalCircle, SlipsAlongTheBaseAreFollowedAsFarAsTheyGo) {
  const Water table = {0, 2, {-0.153, 2.223}, {0.725, 0.641}, 1};
  const struct {
    Ground ground;
    double far_out[3];  // a circle far out: centre and radius
    double at_most;     // its factor of safety, or less
    double sliding;     // the level ground's, by hand
  } cases[] = {
      {{12.665, 16.460983, 2.191, 10, 12.209, table, 24.78, {0.3788}},
       {250.544, 1254.205, 1278.985}, 1.176, 0.920685},
      {{13.592, 11.23683, 2.003, 10, 77.971, {0.1}, 14.16, {0.3524}},
       {162.257, 922.554, 936.714}, 1.37, 1.276396},
      {{16.757, 13.30665, 1.653, 10, 41.423, {0.472}, 26.52, {0.2768}},
       {167.773, 922.685, 949.205}, 1.713, 1.370692},
      {{23.837, 13.279102, 1.906, 10, 67.878, {}, 19.45, {0.2967}},
       {20.972, 201.857, 221.307}, 2.523, 2.286467},
      {{15, 10, 2, 10, 20, {}, 30, {0.4}}, {161.127, 960, 990}, 1.126, 0.982373},
  };
  for (const auto& c : cases) {
    const double fs = critical_circle(c.ground).fs;
    const double far_out = given_circle(c.ground, c.far_out[0], c.far_out[1], c.far_out[2]).fs;
    EXPECT_LE(fs, far_out) << c.ground.friction_angle;
    EXPECT_LE(fs, c.at_most) << c.ground.friction_angle;
    EXPECT_LE(fs, c.sliding + 1e-6) << c.ground.friction_angle;
  }
  // The yield coefficient follows: cut to three decimals as --fs prints
  // it, the critical factor of safety there is 1 to 1.004 (the level
  // ground's falls as 1 / k_h), and the circle far out is not below 1.
  Ground g{11.265, 9.3984, 1.92, 10, 78.938,
           {0, 4, {-0.594, 1.805, 2.755, 3.124}, {0.929, 0.151, 0.938, 0.173}, 1}, 19.67,
           {0, 0.012}};
  g.shaking.horizontal = std::floor(yield_coefficient(g).coefficient * 1000) / 1000;
  const double fs = critical_circle(g).fs;
  EXPECT_GE(fs, 1);
  EXPECT_LE(fs, 1.004);
  EXPECT_GE(given_circle(g, 165.405, 960, 979.67).fs, 1);
}

// Where Bishop's equation has no root on a circle the search passes it
// over and says so: a vertical cut with r_u 0.3 has such circles.  Next
// to them the roots still fall to 0: on steep wet slices Bishop's normal
// force turns negative, friction takes strength away, and over phi = 0,
// 1, 5, 10, 20 and 30 that cut reads 0.383, 0.387, 0.370, 0.355, 0.270
// and 0 by circles alone.  Friction never makes a slope less safe: over random steep wet
// slopes the critical factor of safety is at least the same slope's with
// phi = 0, which it is where that governs, and with cohesion never 0.
TEST(CriticalCircle, FrictionNeverMakesASlopeLessSafe) {
  EXPECT_TRUE(critical_circle({30, 2, 2, 10, 90, {0.3}}).unsolved);
  EXPECT_FALSE(critical_circle({30, 2, 2, 10, 90}).unsolved);
  std::vector<Ground> slopes;
  for (const double phi : {1, 5, 10, 20, 30}) slopes.push_back({phi, 2, 2, 10, 90, {0.3}});
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < sizes::cases(16, 4); ++i) {
    Ground g{45 * unit(rng), 3 * unit(rng) * unit(rng), 1.6 + 0.6 * unit(rng), 10, 55 + 35 * unit(rng)};
    if (i % 2 == 0) g.water.pore_ratio = 0.6 * unit(rng);
    else g.water = {0, 2, {0, 3}, {1.2 * unit(rng), unit(rng)}, 1};
    if (i % 4 == 1) g.base_depth = 10 * unit(rng);
    if (i % 4 == 3) g.shaking.horizontal = 0.3 * unit(rng);
    slopes.push_back(g);
  }
  int governed = 0;
  for (const Ground& g : slopes) {
    Ground clay = g;
    clay.friction_angle = 0;
    const double without = critical_circle(clay).fs;
    const SlipAnswer with = critical_circle(g);
    EXPECT_GE(with.fs, without) << g.friction_angle << " " << g.cohesion << " " << g.slope_angle;
    EXPECT_GT(with.fs, 0) << g.friction_angle << " " << g.cohesion << " " << g.slope_angle;
    if (with.frictionless) {
      EXPECT_EQ(with.fs, without) << g.friction_angle << " " << g.cohesion << " " << g.slope_angle;
      ++governed;
    }
  }
  EXPECT_GE(governed, 4);
}

TEST(CriticalCircle, NoStrengthIsZero) {
  EXPECT_EQ(critical_circle({0, 0, 20, 10, 45}).fs, 0);
}

namespace {

Ground wet(double phi, double c, double gamma, std::initializer_list<double> table) {
  Ground g{phi, c, gamma, 10, 0};
  g.water.unit_weight = 1;
  for (auto p = table.begin(); p != table.end(); p += 2, ++g.water.water_table_points) {
    g.water.water_table_x[g.water.water_table_points] = p[0];
    g.water.water_table_y[g.water.water_table_points] = p[1];
  }
  return g;
}

}  // namespace

// The steepest safe angle is the flattest crossing of the target: there the
// critical factor of safety is the target, and no flatter slope on a grid
// of quarter degrees (whole degrees under the sanitizers) falls below it.
// Under a water table it need not fall
// as the slope steepens: on slopes where it crosses a target more than once
// (a flatter slope failed below the crossing found before, 15 degrees at
// 1.278 under 19.4 for the first, 9.25 at 1.451 under 14.8, 10 at 1.120
// under 17.1 and 14.9, 13 at 1.497 under 23.1), on a deep base under a
// load, and on random wet slopes.
TEST(SteepestAngle, TheCriticalFactorOfSafetyThereIsTheTarget) {
  struct Case {
    Ground ground;
    double target;
  };
  std::vector<Case> cases = {
      {{30, 10, 20, 8, 0}, 1.3},   // a face circle's angle
      {{20, 40, 20, 5, 0}, 1.5},   // strong enough for a vertical cut
      {{10, 2, 20, 20, 0}, 1.0},
      {wet(32.39, 0.1646, 1.87, {0.944, 0.23, 3.178, 0.876}), 1.3},
      {wet(20.32, 0.0618, 2.132, {0.812, -0.176, 4.578, 0.828}), 1.5},
      {wet(21.41, 0.0094, 1.879, {4.457, -0.215, 5.019, 1.062}), 1.3},
      {wet(21.41, 0.0094, 1.879, {4.457, -0.215, 5.019, 1.062}), 1.5},
      {wet(29.56, 0.1156, 1.927, {0.895, -0.013, 4.133, 1.048}), 1.5},
      // Shaken on a deep base: the limit of slips along it, 0.985, up to
      // some 45 degrees, then circles through the toe, below 0.95 from 51.
      {{21.4167, 3.20149, 2, 10, 0, {0.178104}, 28.0879, {0.316801, 0.13285}}, 0.95},
  };
  std::mt19937_64 rng(9);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < sizes::cases(2, 1); ++i) {
    const double x = 4 * unit(rng);
    cases.push_back({wet(10 + 25 * unit(rng), 0.4 * unit(rng) * unit(rng), 1.8 + 0.3 * unit(rng),
                         {x, unit(rng) - 0.2, x + 0.2 + 3 * unit(rng), 0.3 + 0.8 * unit(rng)}),
                     1.3});
  }
  for (const Case& c : cases) {
    const double beta = steepest_angle(c.ground, c.target);
    Ground g = c.ground;
    g.slope_angle = beta;
    const double fs = critical_circle(g).fs;
    if (beta == 90) {
      EXPECT_GE(fs, c.target);
    } else {
      EXPECT_NEAR(fs, c.target, 1e-3) << beta;
    }
    const bool falls = falls_as_it_steepens(g);
    const double grid = falls ? 5 : sizes::kSanitized ? 1 : 0.25;
    for (double flatter = kLeastSlopeAngle; flatter < beta; flatter += grid) {
      g.slope_angle = flatter;
      EXPECT_GE(critical_circle(g).fs, c.target) << c.ground.friction_angle << " at " << flatter
                                                 << ", steepest " << beta;
    }
    if (!(falls && g.water.pore_ratio == 0 && g.base_depth == 0)) continue;
    // And the fast path's angle: never steeper than the solver's (to its
    // 0.001 degree), and flatter by no more than what twice the table's
    // error moves the angle by (its factor of safety falls by some percent
    // a degree).
    const double tan_phi = std::tan(g.friction_angle * kDegree);
    const double fast = check_steepest_angle(tan_phi, g.cohesion, g.unit_weight, g.height,
                                             c.target);
    const double per_degree =
        check_factor_of_safety(tan_phi, g.cohesion, g.unit_weight, g.height, beta - 1) -
        check_factor_of_safety(tan_phi, g.cohesion, g.unit_weight, g.height, beta);
    EXPECT_LE(fast, beta + 0.001);
    EXPECT_GE(fast, beta - 2 * kTableError * c.target / per_degree - 0.001);
  }
}

TEST(SteepestAngle, NoneWhereEvenTheFlattestSlopeFallsShort) {
  EXPECT_TRUE(std::isnan(steepest_angle({0, 1, 20, 10, 0}, 1.5)));
}
