// The yield coefficient: the horizontal load at which the slope's critical
// factor of safety falls to 1.
#include <algorithm>

#include "bishop/bishop.h"
#include "bishop/critical.h"
#include "bishop/equilibrium.h"

namespace telk {

namespace {

// Done when the critical circle at k_h has a factor of safety this close
// to 1: k_h is then within about as little of the yield coefficient.
constexpr double kYieldTolerance = 1e-6;

// Each step lowers k_h; a handful do.
constexpr int kYieldSteps = 20;

// The most k_h looked at: a whole g.  Beyond it the critical circles of a
// strong slope grow without end, past any search's reach, and no
// earthquake's pseudo-static load is so large.
constexpr double kMostYield = 1;

// Without cohesion or a water table the plane under the face is critical,
// and its factor of safety is 1 at
//   k_h = (tan(phi) ((1 - k_v) l^2 - r_u (1 + l^2)) - (1 - k_v) l) / (l (l + tan(phi)))
// with l = 1 / tan(beta): dry, (1 - k_v) tan(phi - beta).
double plane_yield_coefficient(const Section& section) {
  const double l = section.crest_x, t = section.tan_phi, ratio = section.water.pore_ratio;
  const double weighs = 1 - section.shaking.vertical;
  return (t * (weighs * l * l - ratio * (1 + l * l)) - weighs * l) / (l * (l + t));
}

// Whether the plane just under the face alone is critical (critical_arc):
// without cohesion, unless a crack or a load on the crest may make a
// circle lower.
bool plane_alone_critical(const Section& section) {
  return plane_is_critical(section.cohesion, section.water) && !crest_given(section);
}

// At most the yield coefficient of the slope's critical answer `c`, at
// the section's k_v, and at least the slope's.  Each circle has its own,
// at which its factor of safety is 1, and the least of them is the
// search's; ever longer slips along the base tend to the level ground
// sliding on it, whose own is a bound too.  With cohesion the answer is
// at least the frictionless one (critical_arc), whose yield coefficient
// any arc bounds the same way with phi = 0: the slope's is the greater of
// the two.  Where the factor of safety at k_h is below 1 the bound is
// below k_h.
double yield_bound(const Section& section, const SlipAnswer& c) {
  if (plane_alone_critical(section) && !c.sliding)
    return plane_yield_coefficient(section);
  const double with_friction = c.frictionless ? arc_yield_coefficient(section, *c.not_taken, kSlices)
                               : c.sliding    ? sliding_yield_coefficient(section)
                                              : arc_yield_coefficient(section, c.arc, kSlices);
  if (!(section.cohesion > 0 && section.tan_phi > 0)) return with_friction;
  const Section clay = frictionless_section(section);
  double without = sliding_yield_coefficient(clay);
  if (!c.sliding) without = std::min(without, arc_yield_coefficient(clay, c.arc, kSlices));
  if (c.not_taken) without = std::min(without, arc_yield_coefficient(clay, *c.not_taken, kSlices));
  return std::max(with_friction, without);
}

}  // namespace

Yield yield_coefficient(const Ground& ground) {
  Section section = section_of(ground);
  section.shaking.horizontal = 0;
  SlipAnswer c = critical_arc(section);
  if (!(c.fs > 1)) return {0, in_ground_units(c, ground.height)};
  const bool plane = plane_alone_critical(section);
  // The bound at the answer at k_h is k_h where that is 1, else a smaller
  // k_h: a few steps down reach the slope's.
  double kh = std::min(yield_bound(section, c), sliding_yield_coefficient(section));
  for (int step = 0; step < kYieldSteps; ++step) {
    const bool capped = !(kh <= kMostYield);
    if (capped) kh = kMostYield;
    section.shaking.horizontal = kh;
    c = critical_arc(section);
    if ((plane && !c.sliding) || c.fs >= 1 - kYieldTolerance)
      return {kh, in_ground_units(c, ground.height), capped && c.fs > 1};
    const double lower = yield_bound(section, c);
    if (!(lower < kh)) break;
    kh = lower;
  }
  return {kh, in_ground_units(c, ground.height)};
}

}  // namespace telk
