// The section of a ground, and where a circle meets its face, its crest
// and its base.
#include "bishop/section.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace telk {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

}  // namespace

Section section_of(const Ground& ground) {
  const double gh = ground.unit_weight * ground.height;
  const double crest_x =
      ground.slope_angle >= 90 ? 0 : 1 / std::tan(ground.slope_angle * kDegree);
  Section section{crest_x, ground.cohesion / gh, std::tan(ground.friction_angle * kDegree)};
  section.water = ground.water;
  section.water.unit_weight = ground.water.unit_weight / ground.unit_weight;
  section.base = ground.base_depth / ground.height;
  section.shaking = ground.shaking;
  return section;
}

double ground_y(const Section& section, double x) {
  if (x <= 0) return 0;
  if (x >= section.crest_x) return 1;
  return x / section.crest_x;
}

namespace {

// The water table's height at x: level before its first point and after
// its last, straight between.
double table_y(const Water& water, double x) {
  const int last = water.table_points - 1;
  if (x <= water.table_x[0]) return water.table_y[0];
  if (x >= water.table_x[last]) return water.table_y[last];
  int i = 1;
  while (x > water.table_x[i]) ++i;
  const double t = (x - water.table_x[i - 1]) / (water.table_x[i] - water.table_x[i - 1]);
  return water.table_y[i - 1] + t * (water.table_y[i] - water.table_y[i - 1]);
}

}  // namespace

double pore_pressure(const Section& section, double x, double y, double depth) {
  const Water& water = section.water;
  if (water.pore_ratio > 0) return water.pore_ratio * depth;
  if (water.table_points == 0) return 0;
  // No free water stands on the slope: a table above the ground is taken
  // at the ground.
  const double level = std::min(table_y(water, x), ground_y(section, x));
  return level > y ? water.unit_weight * (level - y) : 0;
}

std::optional<Arc> slip_arc(const Section& section, double cx, double cy, double r,
                            double below_base) {
  // Where the circle's lower half cuts the face (x, y) = (t L, t), t in
  // [0, 1], and the crest y = 1, x > L (the edge is the face's), with a
  // tolerance of 1e-9 of the radius for the circles the search returns, whose arcs
  // end at the toe or touch the base.
  const double kTolerance = 1e-9 * std::max(1.0, r);
  double xs[4], ys[4];
  int cuts = 0;
  const double l = section.crest_x;
  const double a = l * l + 1, b = l * cx + cy, c = cx * cx + cy * cy - r * r;
  const double disc = b * b - a * c;
  if (disc > 0) {
    for (const double root : {(b - std::sqrt(disc)) / a, (b + std::sqrt(disc)) / a}) {
      // Below the toe by a rounding of a circle given back: at the toe.
      const double t = std::clamp(root, 0.0, 1.0);
      if (root >= -kTolerance - below_base && root <= 1 + kTolerance && t <= cy)
        xs[cuts] = t * l, ys[cuts++] = t;
    }
  }
  const double half = r * r - (1 - cy) * (1 - cy);
  if (cy >= 1 && half > 0) {
    for (const double x : {cx - std::sqrt(half), cx + std::sqrt(half)}) {
      if (x > l + kTolerance) xs[cuts] = x, ys[cuts++] = 1;
    }
  }
  // The ground in front of the toe, y = 0, where the base is deeper.
  const double front = r * r - cy * cy;
  if (section.base > 0 && cy >= 0 && front > 0) {
    for (const double x : {cx - std::sqrt(front), cx + std::sqrt(front)}) {
      if (x < -kTolerance && cuts < 4) xs[cuts] = x, ys[cuts++] = 0;
    }
  }
  if (cuts < 2) return std::nullopt;
  // The slip: from where the circle enters (its last cut, going along the
  // ground toward the toe) to the first cut past that, where it leaves.
  // Past there it may cut the ground again (in front of the toe, over a
  // deeper base), which another slip, not this one's soil, lies under: as
  // the search takes a circle that leaves at the toe.
  int entry = 0;
  for (int i = 1; i < cuts; ++i) entry = xs[i] > xs[entry] ? i : entry;
  int exit = -1;
  for (int i = 0; i < cuts; ++i) {
    if (xs[i] < xs[entry] && (exit < 0 || xs[i] > xs[exit])) exit = i;
  }
  if (exit < 0) return std::nullopt;
  const Arc arc{cx, cy, r, xs[exit], ys[exit], xs[entry], ys[entry]};
  // The base y = -D: the arc's lowest point, where it lies between the ends.
  const bool lowest_inside = cx > arc.exit_x && cx < arc.entry_x;
  if (lowest_inside && cy - r < -section.base - kTolerance - below_base) return std::nullopt;
  return arc;
}

}  // namespace telk
