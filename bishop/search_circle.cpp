// Where a search circle's arc lies, and its factor of safety.
#include "bishop/search_circle.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "bishop/crack.h"
#include "bishop/equilibrium.h"

namespace telk {

namespace {

// The least share of its deepest admissible dip a circle may have: the
// shallow circles of a cohesionless slope tend to zero depth, and at this
// share they are within 1e-5 of tan(phi) / tan(beta).
constexpr double kLeastDepth = 1e-4;

// The shortest chord of a slip circle, in units of the slope's height.
constexpr double kLeastChord = 1e-6;

struct Point {
  double x, y;
};

// The point of the ground `along` it: in front of the toe below 0, on the
// face up to 1, then on the crest, in steps of reach_unit(section).
Point ground_point(const Section& section, double along) {
  if (along < 0) return {along * reach_unit(section), 0};
  if (along <= 1) return {along * section.crest_x, along};
  return {section.crest_x + (along - 1) * reach_unit(section), 1};
}

// A circle's chord, from where it leaves to where it enters: the circles
// through its ends have their centres on its perpendicular bisector, h
// above its midpoint; a smaller h dips deeper.
struct Chord {
  Point p, q;
  double sin_d, cos_d, half, mx, my;
  // Whether the circle at h stays above the base where it lies between the
  // ends (its lowest point may lie beyond the exit).
  bool above_base(const Section& section, double h) const {
    const double cx = mx - sin_d * h, cy = my + cos_d * h;
    return cx <= p.x || cy + section.base >= std::sqrt(half * half + h * h);
  }
  // The deepest with both ends on its lower half: its centre level with
  // the entry.
  double lowest() const { return half * sin_d / cos_d; }
};

std::optional<Chord> chord_of(const Section& section, double exit, double entry) {
  const Point p = ground_point(section, exit);
  const Point q = ground_point(section, entry);
  const double dx = q.x - p.x, dy = q.y - p.y;
  if (!(dx > 0 && dy > 0)) return std::nullopt;  // a vertical chord, or both on the crest
  const double chord = std::hypot(dx, dy);
  // A chord of a few roundings of its ends, which a refinement reaches by
  // driving the exit onto the entry, is no circle: its slices' angles are
  // noise, and so is its factor of safety (0.62 for the 0.75 of a
  // cohesionless 53 degree slope).  No circle so small is critical: with
  // cohesion a smaller circle is a safer one, without it any shallow one
  // is as safe as the plane slip.
  if (!(chord >= kLeastChord)) return std::nullopt;
  return Chord{p, q, dy / chord, dx / chord, chord / 2, (p.x + q.x) / 2, (p.y + q.y) / 2};
}

}  // namespace

std::optional<Arc> arc_of(const Section& section, const SearchCircle& circle) {
  const std::optional<Chord> c = chord_of(section, circle.exit, circle.entry);
  if (!c) return std::nullopt;
  const double half = c->half;
  // Both ends on the lower half: the centre at or above the entry.
  const double h_lowest = c->lowest();
  double h_min = h_lowest;
  if (!c->above_base(section, h_min)) {
    // The arcs through p and q nest, so those above the base are those
    // with h at least some h_min; the arc whose centre is above p is one.
    double lo = h_min, hi = half * c->cos_d / c->sin_d;
    for (int i = 0; i < 60; ++i) {
      const double mid = (lo + hi) / 2;
      (c->above_base(section, mid) ? hi : lo) = mid;
    }
    h_min = hi;
  }
  const double touching = std::atan(half / h_min);
  double angle = std::clamp(circle.depth, kLeastDepth, 1.0) * touching;
  if (circle.depth > 1 && h_min > h_lowest) {
    // Below the base: on by the angle to the deepest, whose centre is
    // level with the entry.
    const double deepest = std::atan(half / h_lowest);
    angle = touching + (std::min(circle.depth, 2.0) - 1) * (deepest - touching);
  }
  const double h = half / std::tan(angle);
  Arc arc{c->mx - c->sin_d * h, c->my + c->cos_d * h, std::hypot(half, h),
          c->p.x, c->p.y, c->q.x, c->q.y};
  follow_base(section, &arc);
  if (!cut_at_crack(section, &arc)) return std::nullopt;
  return arc;
}

double reach_unit(const Section& section) { return section.crest_x + 1 + 2 * section.base; }

double along_crest(const Section& section, double x) {
  return 1 + (x - section.crest_x) / reach_unit(section);
}

SearchCircle clamped(const Section& section, const SearchCircle& c) {
  const double exit =
      section.through_toe ? 0.0
                          : std::clamp(c.exit, section.base > 0 ? -kToeReach * section.reach : 0.0, 1.0);
  const double entry = std::clamp(c.entry, exit, 1 + kCrestReach * section.reach);
  double depth = std::clamp(c.depth, kLeastDepth, 2.0);
  if (depth > 1) {
    // Where even the deepest circle stays above the base, the range ends
    // at 1: so one circle has one set of numbers.
    const std::optional<Chord> chord = chord_of(section, exit, entry);
    if (!chord || chord->above_base(section, chord->lowest())) depth = 1;
  }
  return {exit, entry, depth};
}

bool follows_base(const Section& section, const SearchCircle& circle) {
  const std::optional<Arc> arc = arc_of(section, clamped(section, circle));
  return arc && arc->base_from < arc->base_to;
}

bool on_reach_bound(const Section& section, const SearchCircle& circle) {
  const SearchCircle c = clamped(section, circle);
  return c.entry >= 1 + kCrestReach * section.reach * (1 - 1e-9) ||
         (section.base > 0 && c.exit <= -kToeReach * section.reach * (1 - 1e-9));
}

double fs_of(const Section& section, const SearchCircle& circle, int slices) {
  const std::optional<Arc> arc = arc_of(section, clamped(section, circle));
  if (!arc) return std::numeric_limits<double>::infinity();
  const double fs = arc_factor_of_safety(section, *arc, slices, nullptr);
  if (fs == fs) return fs;
  if (section.unsolved != nullptr) ++*section.unsolved;
  return std::numeric_limits<double>::infinity();
}

}  // namespace telk
