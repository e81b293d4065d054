// Measures the margins of a sweep's answers read off nodes (kSweepFsError,
// kSweepAngleError in bishop/sweep_answers.h): N random sweeps of each
// kind, wet (r_u or a water table), shaken (k_h, k_v), on a deeper base
// and under a tension crack and a load on the crest, read row by row as
// the check reads them, and at 3 random rows of each the answers against
// direct solves at the row's height.  Prints the worst rows before the
// margins: how far the factor of safety is above a direct solve's, as a
// share, and the angle steeper, in degrees.  Exits
// non-zero where a row is above a direct solve after its margin (the
// margin is too small) or more than 0.1% or 0.1 degrees below it.
//   cmake --build build/test --target sweep_accuracy
//   build/test/sweep_accuracy [N]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>

#include "bishop/bishop.h"
#include "bishop/steepest.h"
#include "bishop/sweep_answers.h"

namespace {

using namespace telk;

// The sweep's rows: 100 a quarter apart, more than rows are solved at
// their own height for (3.5 times the 22 nodes they need where the angle
// is scanned for), so that they are read off nodes.
constexpr double kStep = 0.25;
constexpr int kRows = 100;
constexpr int kChecked = 3;

struct Worst {
  double excess = -1;  // before the margin
  double below = 0;    // after it
  Ground ground{};
  double h = 0;
};

// The direct solves at the row's height: the critical factor of safety
// at the chart's angle, and the steepest safe angle for the target.
struct Direct {
  double fs, angle;
};
Direct direct_at(Ground g, double h, double chart, double target) {
  g.height = h;
  g.slope_angle = chart;
  return {critical_circle(g).fs, steepest_angle(g, target)};
}

void report(const char* what, const Worst& w) {
  std::printf("%s: %.4g above before the margin, %.4g below at most after it"
              " (phi %.2f c %.3f gamma %.2f h %.2f r_u %.2f table %d D %.2f k_h %.3f k_v %.3f)\n",
              what, w.excess, w.below, w.ground.friction_angle, w.ground.cohesion,
              w.ground.unit_weight, w.h, w.ground.water.pore_ratio,
              w.ground.water.water_table_points, w.ground.base_depth, w.ground.shaking.horizontal, w.ground.shaking.vertical);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 3;
  Worst fs_worst, angle_worst;
  bool failed = false;
  for (int kind = 0; kind < 4; ++kind) {
    for (int i = 0; i < n; ++i) {
      std::mt19937_64 rng(static_cast<std::uint64_t>(1000 * kind + i));
      std::uniform_real_distribution<double> unit(0, 1);
      Ground g{10 + 25 * unit(rng), 0.5 + 3 * unit(rng), 1.6 + 0.6 * unit(rng), 1, 90};
      const bool table = kind == 0 && i % 2 == 1;
      if (table) {
        g.water = {0, 2, {0, 1 + 3 * unit(rng)}, {0.5 * unit(rng), 1}, 1};
      } else {
        g.water.pore_ratio = 0.4 * unit(rng);
      }
      if (kind == 1) g.shaking = {0.3 * unit(rng), 0.2 * unit(rng) - 0.1};
      if (kind == 2) g.base_depth = 5 * unit(rng);
      // A crack 1 to 3 deep (half the height in the rows below 2 to 6),
      // dry or with water, and a load from the edge or set back, on the
      // whole crest or not.
      if (kind == 3) {
        g.crack = {1 + 2 * unit(rng), false, i % 2 == 1 ? unit(rng) : 0, 1};
        g.load = {2 * unit(rng), i % 3 == 0 ? 0 : 2 * unit(rng)};
        if (i % 2 == 0) g.load.width = 1 + 3 * unit(rng);
      }
      const double target = 1.2 + 0.3 * unit(rng);
      const auto answers = sweep_answers(g, std::tan(g.friction_angle * std::numbers::pi / 180),
                                         kStep, kRows * kStep, kRows, {{target}});
      int checked[kChecked];
      for (int& r : checked) r = 1 + static_cast<int>(unit(rng) * kRows);
      const bool falls = falls_as_it_steepens(g);
      for (int r = 1; r <= kRows; ++r) {
        bool check = false;
        for (const int c : checked) check = check || c == r;
        const double h = r * kStep;
        const double chart = std::round(35 + 40 * std::exp(-h / 8));
        const double fs = answers->factor_of_safety(h, chart);
        // Where the angle is scanned for, a node's scan owes nothing to
        // the rows before: only the rows checked ask.
        if (!check && !falls) continue;
        const double steepest = answers->steepest_angle(h, target);
        if (!check) continue;
        const auto [direct_fs, direct_angle] = direct_at(g, h, chart, target);
        const double fs_excess = fs * (1 + kSweepFsError) / direct_fs - 1;
        const double fs_below = 1 - fs / direct_fs;
        if (fs_excess > fs_worst.excess) fs_worst = {fs_excess, fs_worst.below, g, h};
        fs_worst.below = std::max(fs_worst.below, fs_below);
        if (!(fs <= direct_fs && fs_below <= 1e-3)) {
          failed = true;
          std::printf("factor of safety %.6f against %.6f directly at h %.2f, sweep %d of kind %d\n",
                      fs, direct_fs, h, i, kind);
        }
        if (steepest == steepest && direct_angle == direct_angle && direct_angle < 90) {
          const double excess = steepest + kSweepAngleError - direct_angle;
          if (excess > angle_worst.excess) angle_worst = {excess, angle_worst.below, g, h};
          angle_worst.below = std::max(angle_worst.below, direct_angle - steepest);
        }
        if (!(steepest <= direct_angle && steepest >= direct_angle - 0.1) &&
            !(steepest != steepest && direct_angle != direct_angle)) {
          failed = true;
          std::printf("steepest angle %.4f against %.4f directly at h %.2f, sweep %d of kind %d\n",
                      steepest, direct_angle, h, i, kind);
        }
      }
    }
  }
  std::printf("%d sweeps of each kind (wet, shaken, on a deeper base, cracked and loaded), %d rows"
              " each checked\n", n,
              kChecked);
  report("factor of safety (share)", fs_worst);
  report("steepest angle (degrees)", angle_worst);
  std::printf("margins: %.4g of the factor of safety, %.4g degrees: %s\n", kSweepFsError,
              kSweepAngleError, failed ? "a row is beyond them" : "every row within them");
  return failed ? 1 : 0;
}
