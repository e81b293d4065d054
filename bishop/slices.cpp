// Bishop's simplified method on one slip arc: the slices, their exact
// weights, and the iteration for the factor of safety.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include "bishop/section.h"

namespace telk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDegree = 3.14159265358979323846 / 180;

// The ground's height: zero at and before the toe, one on the crest.
double ground_y(const Section& section, double x) {
  if (x <= 0) return 0;
  if (x >= section.crest_x) return 1;
  return x / section.crest_x;
}

double arc_y(const Arc& arc, double x) {
  const double u = x - arc.centre_x;
  return arc.centre_y - std::sqrt(std::max(0.0, arc.radius * arc.radius - u * u));
}

// Area between a chord of length `chord` of a circle of radius r and the
// arc it cuts off: r^2 (psi - sin psi) / 2, psi the chord's central angle.
// For a short chord psi - sin psi is summed as its series, without the
// cancellation of the difference.
double segment_area(double chord, double r) {
  const double psi = 2 * std::asin(std::min(1.0, chord / (2 * r)));
  const double p2 = psi * psi;
  const double excess = psi < 0.05 ? psi * p2 / 6 * (1 - p2 / 20 * (1 - p2 / 42))
                                   : psi - std::sin(psi);
  return r * r * excess / 2;
}

struct Slice {
  double width, weight, sin_alpha, cos_alpha;
};

// The slices: `count` across the arc, those holding the toe
// or the crest edge split there, so that over each the ground is straight
// and the weight (trapezoid under the ground down to the chord of the arc,
// plus the circular segment under the chord) is exact.
std::vector<Slice> slices_of(const Section& section, const Arc& arc, int count) {
  std::vector<double> xs;
  xs.reserve(static_cast<std::size_t>(count) + 3);
  // Equal angles at the centre rather than equal widths: near an end where
  // the arc turns vertical (the toe circles of a steep cut enter at their
  // centre's height) equal widths converge slowly.
  auto angle = [&](double x) {
    return std::asin(std::clamp((x - arc.centre_x) / arc.radius, -1.0, 1.0));
  };
  const double first = angle(arc.exit_x), turn = angle(arc.entry_x) - first;
  xs.push_back(arc.exit_x);
  for (int i = 1; i < count; ++i) {
    xs.push_back(arc.centre_x + arc.radius * std::sin(first + turn * i / count));
  }
  xs.push_back(arc.entry_x);
  const double kinks[] = {0.0, section.crest_x};  // the toe, the crest's edge
  std::copy_if(std::begin(kinks), std::end(kinks), std::back_inserter(xs),
               [&arc](double kink) { return kink > arc.exit_x && kink < arc.entry_x; });
  std::sort(xs.begin(), xs.end());

  std::vector<Slice> slices;
  slices.reserve(xs.size());
  // The arc's ends are on the ground: their depths are zero, not the
  // rounding of a difference, but for an exit on a vertical face, whose
  // first slice is as high as the face above the exit.
  const bool vertical_exit = section.crest_x == 0 && arc.exit_x == 0;
  double x0 = xs.front(), y0 = arc.exit_y, depth0 = vertical_exit ? 1 - arc.exit_y : 0;
  for (std::size_t i = 1; i < xs.size(); ++i) {
    const double x1 = xs[i];
    const bool last = i + 1 == xs.size();
    const double y1 = last ? arc.entry_y : arc_y(arc, x1);
    const double depth1 = last ? 0 : std::max(0.0, ground_y(section, x1) - y1);
    const double width = x1 - x0;
    if (width > 0) {
      const double chord = std::hypot(width, y1 - y0);
      const double weight = width * (depth0 + depth1) / 2 + segment_area(chord, arc.radius);
      slices.push_back({width, weight, (y1 - y0) / chord, width / chord});
    }
    x0 = x1, y0 = y1, depth0 = depth1;
  }
  return slices;
}

}  // namespace

Section section_of(const Ground& ground) {
  const double gh = ground.unit_weight * ground.height;
  const double crest_x =
      ground.slope_angle >= 90 ? 0 : 1 / std::tan(ground.slope_angle * kDegree);
  return {crest_x, ground.cohesion / gh, std::tan(ground.friction_angle * kDegree)};
}

double arc_factor_of_safety(const Section& section, const Arc& arc, int slices,
                            bool* floored) {
  const std::vector<Slice> parts = slices_of(section, arc, slices);
  double driving = 0;
  double fellenius = 0;
  for (const Slice& s : parts) {
    driving += s.weight * s.sin_alpha;
    fellenius += section.cohesion * s.width / s.cos_alpha +
                 s.weight * s.cos_alpha * section.tan_phi;
  }
  if (floored != nullptr) *floored = false;
  if (!(driving > 0)) return kInfinity;
  if (fellenius == 0) return 0;  // c = phi = 0: no strength at all

  // F = sum (c b + W tan phi) / m_alpha / sum W sin alpha.  Divided by F it
  // reads h(F) = sum W sin alpha - sum (c b + W tan phi) / (F m_alpha) = 0,
  // each F m_alpha = F cos(alpha) + sin(alpha) tan(phi), or F kMAlphaFloor
  // where floored, positive and growing with F: h rises from at most zero
  // near F = 0 to sum W sin alpha, and has one root.  Newton's method on h,
  // from Fellenius' value, kept within the bracket that h's signs give.
  // The plain iteration F <- F sum ... / sum ... converges as sin^2(alpha)
  // of the steepest slices: hardly at all on the nearly planar slips of a
  // steep, nearly cohesionless slope, where Newton takes a few steps.
  struct Value {
    double h, slope;  // h(F) and dh/dF
    bool floored;
  };
  auto value = [&](double fs) {
    Value v{driving, 0, false};
    for (const Slice& s : parts) {
      const double strength = section.cohesion * s.width + s.weight * section.tan_phi;
      double rate = s.cos_alpha, denominator = fs * s.cos_alpha + s.sin_alpha * section.tan_phi;
      if (s.sin_alpha < 0 && denominator < fs * kMAlphaFloor) {
        rate = kMAlphaFloor, denominator = fs * kMAlphaFloor, v.floored = true;
      }
      const double share = strength / denominator;
      v.h -= share;
      v.slope += share * rate / denominator;
    }
    return v;
  };
  double fs = fellenius / driving, low = 0, high = kInfinity, last_step = kInfinity;
  Value v = value(fs);
  for (int iteration = 0; iteration < 100 && v.h != 0; ++iteration) {
    (v.h < 0 ? low : high) = fs;
    double next = fs - v.h / v.slope;
    if (!(next >= low && next <= high)) next = high < kInfinity ? (low + high) / 2 : 2 * fs;
    const double step = std::abs(next - fs);
    fs = next;
    v = value(fs);
    // Done when the step is down to the rounding of h, or stops shrinking:
    // where h is flat its rounding moves the root by more than 1e-12 of it.
    if (step <= 1e-12 * fs || (iteration > 2 && step >= last_step)) break;
    last_step = step;
  }
  if (floored != nullptr) *floored = v.floored;
  return fs;
}

double circle_factor_of_safety(const Ground& ground, double centre_x, double centre_y,
                               double radius, bool* floored, int slices) {
  if (floored != nullptr) *floored = false;
  const Section section = section_of(ground);
  const double h = ground.height;
  const double cx = centre_x / h, cy = centre_y / h, r = radius / h;

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
  if (cuts != 2 || xs[0] == xs[1]) return kNaN;
  const int exit = xs[0] < xs[1] ? 0 : 1;
  const Arc arc{cx, cy, r, xs[exit], ys[exit], xs[1 - exit], ys[1 - exit]};
  const bool lowest_inside = cx > arc.exit_x && cx < arc.entry_x;
  if (lowest_inside && cy - r < -kTolerance) return kNaN;
  return arc_factor_of_safety(section, arc, slices, floored);
}

}  // namespace telk
