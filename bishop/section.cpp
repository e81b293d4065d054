// The section of a ground, and where a circle meets its face, its crest
// and its base.
#include "bishop/section.h"

#include <algorithm>
#include <cmath>

namespace telk {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

}  // namespace

Section section_of(const Ground& ground) {
  const double gh = ground.unit_weight * ground.height;
  const double crest_x =
      ground.slope_angle >= 90 ? 0 : 1 / std::tan(ground.slope_angle * kDegree);
  return {crest_x, ground.cohesion / gh, std::tan(ground.friction_angle * kDegree)};
}

std::optional<Arc> slip_arc(const Section& section, double cx, double cy, double r) {
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
      const double t = std::clamp(root, 0.0, 1.0);
      if (std::abs(t - root) <= kTolerance && t <= cy) xs[cuts] = t * l, ys[cuts++] = t;
    }
  }
  const double half = r * r - (1 - cy) * (1 - cy);
  if (cy >= 1 && half > 0) {
    for (const double x : {cx - std::sqrt(half), cx + std::sqrt(half)}) {
      if (x > l + kTolerance) xs[cuts] = x, ys[cuts++] = 1;
    }
  }
  if (cuts != 2 || xs[0] == xs[1]) return std::nullopt;
  const int exit = xs[0] < xs[1] ? 0 : 1;
  const Arc arc{cx, cy, r, xs[exit], ys[exit], xs[1 - exit], ys[1 - exit]};
  // The base y = 0: the arc's lowest point, where it lies between the ends.
  const bool lowest_inside = cx > arc.exit_x && cx < arc.entry_x;
  if (lowest_inside && cy - r < -kTolerance) return std::nullopt;
  return arc;
}

}  // namespace telk
