// Bishop's simplified method on one slip: the factor of safety that
// balances the moments of the slices' weights about the circle's centre
// with those of the strength along the slip, each slice's share of it found
// from the equilibrium of its vertical forces.
#include "bishop/equilibrium.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "bishop/crack.h"
#include "bishop/slices.h"

namespace telk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// What a slice bears down on its base: (1 - k_v) W, and the load above it.
double bearing(const Slice& s, double weighs) { return weighs * s.weight + s.load; }

// The strength a slice's base is given before m_alpha shares it out:
// c b + ((1 - k_v) W + P - u b) tan(phi), the friction never below zero.
double slice_strength(const Section& section, const Slice& s, double weighs) {
  return section.cohesion * s.width + std::max(0.0, bearing(s, weighs) - s.uplift) * section.tan_phi;
}

}  // namespace

double arc_factor_of_safety(const Section& section, const Arc& arc, int slices,
                            bool* floored) {
  const std::vector<Slice> parts = slices_of(section, arc, slices);
  // An earthquake's load: each slice weighs (1 - k_v) W, and k_h W out of
  // the slope turns the soil about the centre as its weight does.  Without
  // it the weights are as they are, bit for bit.  Water in a tension
  // crack pushes the soil out of the slope.
  const double kh = section.shaking.horizontal, weighs = 1 - section.shaking.vertical;
  double driving = crack_water_moment(section, arc);
  double fellenius = 0;
  // What the strength's sum in h(F) below tends to as F falls to 0, where
  // that is finite: with friction, and every slice that bears any strength
  // on a base rising toward the crest (its F m_alpha tends to
  // sin(alpha) tan(phi); on any other it tends to 0, and the sum to
  // infinity).
  double resisting_at_zero = 0;
  bool bounded_at_zero = section.tan_phi > 0;
  for (const Slice& s : parts) {
    const double weight = bearing(s, weighs);
    driving += weight * s.sin_alpha + kh * s.sway;
    fellenius += s.arm * (section.cohesion * s.width / s.cos_alpha +
                          std::max(0.0, weight * s.cos_alpha - s.uplift / s.cos_alpha) *
                              section.tan_phi);
    const double strength = slice_strength(section, s, weighs);
    if (strength > 0 && s.sin_alpha > 0) resisting_at_zero += strength / (s.sin_alpha * section.tan_phi);
    else if (strength > 0) bounded_at_zero = false;
  }
  if (floored != nullptr) *floored = false;
  if (!(driving > 0)) return kInfinity;
  if (fellenius == 0) return 0;  // c = phi = 0: no strength at all
  // Where h stays above zero however small F is, Bishop's equation has no
  // root: the steep slices' m_alpha grows as 1 / F, and the strength they
  // are given shrinks with it faster than the weight that drives them (much
  // water on a steep face, or a strong earthquake's load).  No strength
  // would hold such a slip, scaled up however far (F scales with it): the
  // method has no solution there, and says nothing of the slip.
  if (bounded_at_zero && driving >= resisting_at_zero) return kNaN;

  // F = sum (c b + (W - u b) tan phi) / m_alpha / sum W sin alpha, the
  // friction on each base from its weight less the water's push (none where
  // the water would bear more than the weight), W being (1 - k_v) W and
  // sum W sin alpha gaining k_h sum sway under an earthquake's load.  Along
  // the base alpha = 0, m_alpha = 1, and the strength's arm is (yc + D) / R
  // of the radius: its share is the arm times the strength.
  // Divided by F it reads
  // h(F) = sum W sin alpha - sum (c b + (W - u b) tan phi) / (F m_alpha) = 0,
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
      const double strength = slice_strength(section, s, weighs);
      double rate = s.cos_alpha, denominator = fs * s.cos_alpha + s.sin_alpha * section.tan_phi;
      if (s.sin_alpha < 0 && denominator < fs * kMAlphaFloor) {
        rate = kMAlphaFloor, denominator = fs * kMAlphaFloor, v.floored = true;
      }
      const double share = s.arm * strength / denominator;
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

double arc_yield_coefficient(const Section& section, const Arc& arc, int slices) {
  // Any positive k_h, for the slices' sway.
  Section shaken = section;
  shaken.shaking.horizontal = 1;
  const double weighs = 1 - section.shaking.vertical;
  // At F = 1: resistance less the weights' and the crack water's drive.
  double excess = -crack_water_moment(section, arc), sway = 0;
  for (const Slice& s : slices_of(shaken, arc, slices)) {
    const double m_alpha = s.cos_alpha + s.sin_alpha * section.tan_phi;
    const double divisor = s.sin_alpha < 0 ? std::max(m_alpha, kMAlphaFloor) : m_alpha;
    excess += s.arm * slice_strength(section, s, weighs) / divisor - bearing(s, weighs) * s.sin_alpha;
    sway += s.sway;
  }
  if (!(excess > 0)) return 0;
  return sway > 0 ? excess / sway : kInfinity;
}

Section frictionless_section(const Section& section) {
  Section clay = section;
  clay.tan_phi = 0;
  clay.reach = 1;
  clay.unsolved = nullptr;
  return clay;
}

double circle_factor_of_safety(const Ground& ground, double centre_x, double centre_y,
                               double radius, bool* floored, int slices) {
  if (floored != nullptr) *floored = false;
  const Section section = section_of(ground);
  const double h = ground.height;
  const std::optional<Arc> arc = slip_arc(section, centre_x / h, centre_y / h, radius / h);
  if (!arc) return std::numeric_limits<double>::quiet_NaN();
  return arc_factor_of_safety(section, *arc, slices, floored);
}

SlipAnswer given_circle(const Ground& ground, double centre_x, double centre_y, double radius,
                        double rounding) {
  const double h = ground.height;
  SlipAnswer b{kNaN, kNoArc};
  const Section section = section_of(ground);
  const std::optional<Arc> arc =
      radius > 0 ? slip_arc(section, centre_x / h, centre_y / h, radius / h, rounding / h)
                 : std::nullopt;
  if (!arc) return b;
  b.fs = arc_factor_of_safety(section, *arc, kSlices, &b.floored);
  b.unsolved = std::isnan(b.fs);
  // Friction never makes a slip less safe (critical_arc): with cohesion,
  // at least the circle's own factor of safety with phi = 0.
  if (section.cohesion > 0 && section.tan_phi > 0 && !b.unsolved) {
    bool floored = false;
    const double without =
        arc_factor_of_safety(frictionless_section(section), *arc, kSlices, &floored);
    if (without > b.fs) b = {without, {}, floored, false, false, true};
  }
  // The circle as given, its ends in the ground's units.
  b.arc = in_ground_units(*arc, h);
  b.arc.centre_x = centre_x, b.arc.centre_y = centre_y, b.arc.radius = radius;
  return b;
}

}  // namespace telk
