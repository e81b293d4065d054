// The section of a ground, and where a circle meets its face, its crest
// and its base.
#include "bishop/section.h"

#include "bishop/crack.h"
#include "bishop/load.h"

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
  set_crack(ground, &section);
  set_load(ground, &section);
  return section;
}

Arc in_ground_units(const Arc& arc, double height) {
  const double h = height;
  return {arc.centre_x * h, arc.centre_y * h, arc.radius * h, arc.exit_x * h, arc.exit_y * h,
          arc.entry_x * h, arc.entry_y * h, arc.base_from * h, arc.base_to * h, arc.crack * h};
}

SlipAnswer in_ground_units(const SlipAnswer& answer, double height) {
  SlipAnswer scaled = answer;
  scaled.arc = answer.sliding ? kNoArc : in_ground_units(answer.arc, height);
  if (answer.not_taken) scaled.not_taken = in_ground_units(*answer.not_taken, height);
  return scaled;
}

bool wet(const Section& section) {
  return wet(section.water);
}

double ground_y(const Section& section, double x) {
  if (x <= 0) return 0;
  if (x >= section.crest_x) return 1;
  return x / section.crest_x;
}

namespace {

// The water table's height at x: level before its first point and after
// its last, straight between.
double water_table_y(const Water& water, double x) {
  const int last = water.water_table_points - 1;
  if (x <= water.water_table_x[0]) return water.water_table_y[0];
  if (x >= water.water_table_x[last]) return water.water_table_y[last];
  int i = 1;
  while (x > water.water_table_x[i]) ++i;
  const double* x_at = water.water_table_x;
  const double* y_at = water.water_table_y;
  const double t = (x - x_at[i - 1]) / (x_at[i] - x_at[i - 1]);
  return y_at[i - 1] + t * (y_at[i] - y_at[i - 1]);
}

}  // namespace

double pore_pressure(const Section& section, double x, double y, double depth) {
  const Water& water = section.water;
  if (water.pore_ratio > 0) return water.pore_ratio * depth;
  if (water.water_table_points == 0) return 0;
  // No free water stands on the slope: a table above the ground is taken
  // at the ground.
  const double level = std::min(water_table_y(water, x), ground_y(section, x));
  return level > y ? water.unit_weight * (level - y) : 0;
}

namespace {

// The tolerance of the circles the search returns, whose arcs end at the
// toe or touch the base: 1e-9 of the radius.
double tolerance(double r) { return 1e-9 * std::max(1.0, r); }

}  // namespace

void follow_base(const Section& section, Arc* arc) {
  // The lowest point's depth below the base; where it lies between the
  // ends, the circle is below the base over cx -+ sqrt(r^2 - (cy + D)^2),
  // written (r - d)(r + d) with r - d that depth.
  const double below = arc->radius - (arc->centre_y + section.base);
  const bool lowest_inside = arc->centre_x > arc->exit_x && arc->centre_x < arc->entry_x;
  arc->base_from = arc->base_to = arc->centre_x;
  if (!lowest_inside || !(below > tolerance(arc->radius))) return;
  const double half = std::sqrt(below * (2 * arc->radius - below));
  arc->base_from = std::max(arc->exit_x, arc->centre_x - half);
  arc->base_to = std::min(arc->entry_x, arc->centre_x + half);
}

std::optional<Arc> slip_arc(const Section& section, double cx, double cy, double r,
                            double rounding) {
  // Where the circle's lower half cuts the face (x, y) = (t L, t), t in
  // [0, 1], the crest y = 1, x > L (the edge is the face's), and the
  // ground in front of the toe, y = 0, x < 0; within `rounding` of its
  // lower half.
  const double kTolerance = tolerance(r);
  double xs[7], ys[7];
  int cuts = 0;
  const double l = section.crest_x;
  const double a = l * l + 1, b = l * cx + cy, c = cx * cx + cy * cy - r * r;
  const double disc = b * b - a * c;
  if (disc > 0) {
    for (const double root : {(b - std::sqrt(disc)) / a, (b + std::sqrt(disc)) / a}) {
      const double t = std::clamp(root, 0.0, 1.0);
      if (root >= -kTolerance && root <= 1 + kTolerance && t <= cy + rounding)
        xs[cuts] = t * l, ys[cuts++] = t;
    }
  }
  // (A circle given back from its written numbers may have its centre a
  // rounding below the height where it entered upright.)
  const double half = r * r - (1 - cy) * (1 - cy);
  if (cy >= 1 - rounding && half > 0) {
    for (const double x : {cx - std::sqrt(half), cx + std::sqrt(half)}) {
      if (x > l + kTolerance) xs[cuts] = x, ys[cuts++] = 1;
    }
  }
  const double front = r * r - cy * cy;
  if (cy >= 0 && front > 0) {
    for (const double x : {cx - std::sqrt(front), cx + std::sqrt(front)}) {
      if (x < -kTolerance) xs[cuts] = x, ys[cuts++] = 0;
    }
  }
  // A circle written to some decimals and read back passes near its toe:
  // where within their rounding, as a distance (it may cross the face's
  // line far below the toe, nearly along it), it leaves at the toe.
  const bool at_toe = std::any_of(xs, xs + cuts, [](double x) { return x == 0; });
  if (!at_toe && cy >= 0 && std::abs(std::hypot(cx, cy) - r) <= rounding) xs[cuts] = 0, ys[cuts++] = 0;
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
  Arc arc{cx, cy, r, xs[exit], ys[exit], xs[entry], ys[entry]};
  if (section.base == 0 && arc.exit_x < 0) {
    // On a base at the toe, a circle that leaves the ground in front of the
    // toe runs below the base from there: its slip follows the base to the
    // toe, where it leaves, from where the circle meets the base again; a
    // circle that enters at the toe too has no slip.
    if (!(arc.entry_x > kTolerance)) return std::nullopt;
    arc.exit_x = 0;
    arc.base_from = 0;
    arc.base_to = std::min(arc.entry_x, cx + std::sqrt(front));
  } else {
    follow_base(section, &arc);
  }
  if (!cut_at_crack(section, &arc)) return std::nullopt;
  return arc;
}

}  // namespace telk
