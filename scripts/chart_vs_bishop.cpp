// The chart's angle against Bishop's steepest angle, for the figure
// docs/chart-vs-bishop.png and the numbers of docs/design.md's section on the
// check.  scripts/chart_vs_bishop.sh builds and runs it.
//
// The chart is read as telk reads it: the friction ratio x = tan(phi) / FS
// and the cohesion ratio y = c / (gamma H tan(phi)) rounded to two
// decimals, slope_angle (90 beyond the limit, none where the chart has no
// curve).  Bishop's steepest angle is the fast path, check_steepest_angle.
//
//   chart_vs_bishop grid       per FS, on phi and c/(gamma H): phi, sqrt(c/(gamma H)),
//                              chart - Bishop (NaN where the chart gives no angle)
//   chart_vs_bishop summary    what the grid shows, in numbers
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "bishop/bishop.h"
#include "chart/chart.h"

namespace {

using namespace telk;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The grid: phi from 0 to 60 degrees in steps of 0.25, and c / (gamma H)
// from 0 to 0.6 evenly in its square root, so that the small cohesions,
// where the chart and Bishop differ most in sign, get rows of their own.
constexpr int kPhiSteps = 240;
constexpr double kPhiTop = 60;
constexpr int kCohesionSteps = 240;
constexpr double kCohesionTop = 0.6;

double cohesion_of_row(int j) {
  const double u = static_cast<double>(j) / kCohesionSteps;
  return kCohesionTop * u * u;
}

struct Point {
  double chart;   // NaN where the chart gives no angle
  double bishop;  // NaN where even a 1-degree slope falls short
  float x, y;     // the chart's rounded ratios
};

// One ground, with unit weight and height 1, so that the cohesion is
// c / (gamma H).
Point at(int g, double phi_degrees, double cohesion) {
  const float phi = radians(static_cast<float>(phi_degrees));
  const double tan_phi = std::tan(double{phi});
  Point p;
  p.x = friction_ratio(phi, kFactorsOfSafety[g].chart);
  p.y = cohesion_ratio(1.0f, static_cast<float>(cohesion), 1.0f, tan_phi);
  p.chart = slope_angle(p.x, p.y);
  p.bishop = check_steepest_angle(tan_phi, cohesion, 1, 1, kFactorsOfSafety[g].decimal);
  return p;
}

void grid() {
  for (int g = 0; g < kGroups; ++g) {
    std::printf("# FS %.1f: phi  sqrt(c/(gamma H))  chart - Bishop\n", kFactorsOfSafety[g].decimal);
    for (int j = 0; j <= kCohesionSteps; ++j) {
      const double cohesion = cohesion_of_row(j);
      for (int i = 0; i <= kPhiSteps; ++i) {
        const double phi = kPhiTop * i / kPhiSteps;
        const Point p = at(g, phi, cohesion);
        // Bishop without an angle where the chart gives one: the chart's
        // slope fails even at 1 degree, shown as chart - 0.
        const double bishop = std::isnan(p.bishop) ? 0 : p.bishop;
        std::printf("%.2f %.6f %.3f\n", phi, std::sqrt(cohesion), p.chart - bishop);
      }
      std::printf("\n");
    }
    std::printf("\n\n");
  }
}

// Over the chart's own points: each x with a row and a curve (0.20 to
// 0.80) and y from 0 in hundredths up to the first at or beyond the limit,
// Bishop at the point's exact ratios (tan(phi) = x, c / (gamma H) = x y,
// FS 1), and at the corners of the square the point stands for (the
// ratios that round to it, +-0.005), for the spread that rounding adds.
void summary() {
  double low = 1e9, high = -1e9, low_at[2] = {}, high_at[2] = {};
  double spread = 0, spread_at[2] = {}, worst = -1e9, worst_at[2] = {};
  // Points where some ratios that round to them have the chart steeper
  // than Bishop by more than 0 and 1 degree: how many, the least x, the
  // greatest y.
  int steeper[2] = {};
  double least_fs = 9, least_fs_at[2] = {};
  double least_x[2] = {9, 9}, most_y[2] = {};
  int points = 0, safe = 0, unsafe_by_1 = 0, unsafe_by_5 = 0;
  double sum = 0;
  for (int k = 20; k <= 80; ++k) {
    const float x = static_cast<float>(k / 100.0);
    for (int n = 0;; ++n) {
      const float y = static_cast<float>(n / 100.0);
      const double chart = slope_angle(x, y);
      const double bishop = check_steepest_angle(double{x}, double{x} * double{y}, 1, 1, 1.0);
      const double d = chart - (std::isnan(bishop) ? 0 : bishop);
      ++points;
      sum += d;
      if (d <= 0) ++safe;
      if (d > 1) ++unsafe_by_1;
      if (d > 5) ++unsafe_by_5;
      if (d < low) low = d, low_at[0] = x, low_at[1] = y;
      if (d > high) high = d, high_at[0] = x, high_at[1] = y;
      double lo = 90, hi = 0;
      for (const double dx : {-0.005, 0.005})
        for (const double dy : {-0.005, 0.005}) {
          const double yy = std::max(0.0, double{y} + dy), xx = double{x} + dx;
          const double b = check_steepest_angle(xx, xx * yy, 1, 1, 1.0);
          lo = std::min(lo, b), hi = std::max(hi, b);
        }
      {
        const double xx = double{x} - 0.005, yy = std::max(0.0, double{y} - 0.005);
        const double fs = check_factor_of_safety(xx, xx * yy, 1, 1, std::nearbyint(chart));
        if (fs < least_fs) least_fs = fs, least_fs_at[0] = x, least_fs_at[1] = y;
      }
      if (hi - lo > spread) spread = hi - lo, spread_at[0] = x, spread_at[1] = y;
      if (chart - lo > worst) worst = chart - lo, worst_at[0] = x, worst_at[1] = y;
      for (int t = 0; t < 2; ++t)
        if (chart - lo > t) {
          ++steeper[t];
          least_x[t] = std::min(least_x[t], double{x});
          most_y[t] = std::max(most_y[t], double{y});
        }
      if (chart >= 90) break;
    }
  }
  std::printf("chart points (x 0.20..0.80, y to the limit): %d\n", points);
  std::printf("chart - Bishop: mean %.2f, from %.2f (x %.2f y %.2f) to %.2f (x %.2f y %.2f)\n",
              sum / points, low, low_at[0], low_at[1], high, high_at[0], high_at[1]);
  std::printf("chart at or below Bishop: %d; above by over 1 degree: %d, over 5: %d\n", safe,
              unsafe_by_1, unsafe_by_5);
  std::printf("Bishop's spread over a rounding square: up to %.2f (x %.2f y %.2f)\n", spread,
              spread_at[0], spread_at[1]);
  std::printf("chart - Bishop, worst over the ratios that round to a point: %.2f (x %.2f y %.2f)\n",
              worst, worst_at[0], worst_at[1]);
  std::printf("Bishop's FS of the slope built at the chart's whole degree, per unit of the "
              "target, least over the ratios that round to a point: %.3f (x %.2f y %.2f)\n",
              least_fs, least_fs_at[0], least_fs_at[1]);
  for (int t = 0; t < 2; ++t)
    std::printf("  points with ratios steeper by over %d: %d, x from %.2f, y up to %.2f\n", t,
                steeper[t], least_x[t], most_y[t]);

  // Over the figure's grid, where the chart gives an angle.
  for (int g = 0; g < kGroups; ++g) {
    int cells = 0, above = 0, above_1 = 0, above_2 = 0, no_bishop = 0;
    double top = -1e9, top_at[2] = {}, bottom = 1e9, bottom_at[2] = {};
    for (int j = 0; j <= kCohesionSteps; ++j)
      for (int i = 0; i <= kPhiSteps; ++i) {
        const double phi = kPhiTop * i / kPhiSteps, cohesion = cohesion_of_row(j);
        const Point p = at(g, phi, cohesion);
        if (std::isnan(p.chart)) continue;
        const double d = p.chart - (std::isnan(p.bishop) ? 0 : p.bishop);
        ++cells;
        no_bishop += std::isnan(p.bishop);
        above += d > 0, above_1 += d > 1, above_2 += d > 2;
        if (d > top) top = d, top_at[0] = phi, top_at[1] = cohesion;
        if (d < bottom) bottom = d, bottom_at[0] = phi, bottom_at[1] = cohesion;
      }
    std::printf("grid FS %.1f: %d cells with a chart angle, %d without Bishop's; chart above Bishop in %d, by over 1 "
                "in %d, over 2 in %d; from %.2f (phi %.2f c/gH %.4f) to %.2f (phi %.2f c/gH %.4f)\n",
                kFactorsOfSafety[g].decimal, cells, no_bishop, above, above_1, above_2, bottom, bottom_at[0], bottom_at[1],
                top, top_at[0], top_at[1]);
  }

  // Along each x: chart - Bishop at y = 0, and its range inside the limit.
  std::printf("x     y=0: chart Bishop  |  inside the limit: min max (chart - Bishop)  at the "
              "limit: chart 90, Bishop  |  y where Bishop reaches 90, the limit\n");
  for (int k = 20; k <= 80; k += 5) {
    const float x = static_cast<float>(k / 100.0);
    double lo = 1e9, hi = -1e9, last = kNaN, vertical = kNaN;
    for (int n = 0;; ++n) {
      const float y = static_cast<float>(n / 100.0);
      const double chart = slope_angle(x, y);
      const double bishop = check_steepest_angle(double{x}, double{x} * double{y}, 1, 1, 1.0);
      if (bishop >= 90 && std::isnan(vertical)) vertical = y;
      if (chart >= 90) {
        last = bishop;
        break;
      }
      lo = std::min(lo, chart - bishop), hi = std::max(hi, chart - bishop);
    }
    std::printf("%.2f  %5.1f %5.1f  |  %6.1f %6.1f  |  %5.1f  |  %.2f %.3f\n", x,
                slope_angle(x, 0.0f), check_steepest_angle(double{x}, 0, 1, 1, 1.0), lo, hi, last,
                vertical, limite(x));
  }

  // Whole degrees of phi where Bishop gives an angle and the chart none,
  // for c = 0 and for c / (gamma H) = 0.05.
  for (int g = 0; g < kGroups; ++g) {
    for (const double cohesion : {0.0, 0.05}) {
      std::printf("FS %.1f, c/(gamma H) %.2f: no chart angle, Bishop's for phi =", kFactorsOfSafety[g].decimal,
                  cohesion);
      int from = -1;
      for (int phi = 1; phi <= 90; ++phi) {
        const bool gap =
            phi < 90 && std::isnan(at(g, phi, cohesion).chart) && !std::isnan(at(g, phi, cohesion).bishop);
        if (gap && from < 0) from = phi;
        if (!gap && from >= 0) {
          std::printf(" %d-%d", from, phi - 1);
          from = -1;
        }
      }
      std::printf("\n");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "grid") == 0) {
    grid();
  } else if (argc == 2 && std::strcmp(argv[1], "summary") == 0) {
    summary();
  } else {
    std::fprintf(stderr, "usage: chart_vs_bishop grid|summary\n");
    return 2;
  }
  return 0;
}
