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

}  // namespace

Yield yield_coefficient(const Ground& ground) {
  Section section = section_of(ground);
  section.shaking.horizontal = 0;
  Critical c = critical_arc(section);
  if (!(c.fs > 1)) return {0, bishop_of(c, ground.height)};
  const bool plane = section.cohesion == 0 && section.water.table_points == 0;
  // Each circle has its own yield coefficient, at which its factor of
  // safety is 1; the slope's is the least of them.  That of the critical
  // circle at k_h is at most k_h: where the critical factor of safety at
  // k_h is below 1 it is a smaller k_h, else k_h is the slope's.
  // Ever longer slips along the base tend to the level ground sliding on
  // it, whose own yield coefficient is a bound too.
  double kh = std::min(plane ? plane_yield_coefficient(section)
                             : arc_yield_coefficient(section, c.arc, kSlices),
                       sliding_yield_coefficient(section));
  for (int step = 0; step < kYieldSteps; ++step) {
    const bool capped = !(kh <= kMostYield);
    if (capped) kh = kMostYield;
    section.shaking.horizontal = kh;
    c = critical_arc(section);
    if ((plane && !c.sliding) || c.fs >= 1 - kYieldTolerance)
      return {kh, bishop_of(c, ground.height), capped && c.fs > 1};
    const double lower = c.sliding ? sliding_yield_coefficient(section)
                                   : arc_yield_coefficient(section, c.arc, kSlices);
    if (!(lower < kh)) break;
    kh = lower;
  }
  return {kh, bishop_of(c, ground.height)};
}

}  // namespace telk
