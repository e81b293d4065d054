// Where a search circle's arc lies, and its factor of safety.
#include "bishop/search_circle.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

}  // namespace

// The centre lies on the chord's perpendicular bisector, h above its
// midpoint; a smaller h dips deeper.
std::optional<Arc> arc_of(const Section& section, const SearchCircle& circle) {
  const Point p = ground_point(section, circle.exit);
  const Point q = ground_point(section, circle.entry);
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
  const double sin_d = dy / chord, cos_d = dx / chord, half = chord / 2;
  const double mx = (p.x + q.x) / 2, my = (p.y + q.y) / 2;
  auto admissible = [&](double h) {
    const double cx = mx - sin_d * h, cy = my + cos_d * h;
    return cx <= p.x || cy + section.base >= std::sqrt(half * half + h * h);
  };
  // Both ends on the lower half: the centre at or above the entry.
  double h_min = half * sin_d / cos_d;
  if (!admissible(h_min)) {
    // The arcs through p and q nest, so those above the base are those
    // with h at least some h_min; the arc whose centre is above p is one.
    double lo = h_min, hi = half * cos_d / sin_d;
    for (int i = 0; i < 60; ++i) {
      const double mid = (lo + hi) / 2;
      (admissible(mid) ? hi : lo) = mid;
    }
    h_min = hi;
  }
  const double angle = std::clamp(circle.depth, kLeastDepth, 1.0) * std::atan(half / h_min);
  const double h = half / std::tan(angle);
  return Arc{mx - sin_d * h, my + cos_d * h, std::hypot(half, h), p.x, p.y, q.x, q.y};
}

double reach_unit(const Section& section) { return section.crest_x + 1 + 2 * section.base; }

double along_crest(const Section& section, double x) {
  return 1 + (x - section.crest_x) / reach_unit(section);
}

SearchCircle clamped(const Section& section, const SearchCircle& c) {
  const double exit = std::clamp(c.exit, section.base > 0 ? -kToeReach : 0.0, 1.0);
  return {exit, std::clamp(c.entry, exit, 1 + kCrestReach), std::clamp(c.depth, kLeastDepth, 1.0)};
}

double fs_of(const Section& section, const SearchCircle& circle, int slices) {
  const std::optional<Arc> arc = arc_of(section, clamped(section, circle));
  if (!arc) return std::numeric_limits<double>::infinity();
  return arc_factor_of_safety(section, *arc, slices, nullptr);
}

}  // namespace telk
