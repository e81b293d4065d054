// The steepest safe angle for a target factor of safety: the steepest
// angle below which every slope reaches the target, the flattest angle at
// which the critical factor of safety falls below it.  One finder for every
// caller: the direct solve, and the sweep's rows and nodes.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "bishop/bishop.h"
#include "bishop/tuning.h"

namespace telk {

// Whether the critical factor of safety of this ground is taken to fall as
// the slope steepens, so that it crosses a target once and a search may
// start anywhere: dry, with r_u, on a deeper base or under a load, or r_u
// with either (over random slopes, solved every degree, it never rose).
// Under a water table it need not (a flatter face lies further under the
// table), nor on a deeper base under a horizontal load (slips along the
// base, flatter than the face, rose by 2% from 11 to 41 degrees on one of
// 60 such slopes, across a factor of safety of 1.02), nor with water in a
// tension crack (a thin slab under a steep face and a circle through the
// toe are valleys apart, and a search refined from one misses the other:
// a row read 84.76 degrees where a direct solve's is 83.49), nor under a
// load on the crest, where a bearing failure beside the slope and the
// circles through the toe are valleys apart too (over 30 random slopes
// with a load set back, solved every degree, none rose by more than 1e-7,
// but where the search missed one valley 13 rose, by up to 32%): there
// the finder scans up from the flattest slope, every slope searched
// whole.
bool falls_as_it_steepens(const Ground& ground);

// Whether a lower slope of the same ground is at least as safe at every
// angle: where nothing but the height is in metres (no base below the
// toe: the water table, r_u and the earthquake's load scale with it),
// the slope in units of its height is the same shape at every height and
// only c / (gamma H) changes, which every slip's factor of safety (and
// the friction floor's) grows with.  Then every angle flatter than a
// taller slope's steepest safe angle is safe at a lower one.
bool safer_when_lower(const Ground& ground);

// The slope angles at which a point of the water table lies on the face,
// or the crest's edge on the table: there the ground's shape under the
// table changes, and the factor of safety may bend sharply near them.
std::vector<double> water_table_events(const Ground& ground);

struct SteepestSearch {
  double tolerance;  // degrees to which the crossing is found
  bool falls;        // falls_as_it_steepens: a search from a start, no scan
  // Where the factor of safety falls, where to start: where the crossing
  // is expected to within some hundredths of a degree (the line through
  // two nodes' angles), else a start a little way off (a higher target's
  // crossing, a row's below), else 45 degrees; and the factor of safety's
  // slope there per degree, a guess.
  double guess = std::numeric_limits<double>::quiet_NaN();
  double from = std::numeric_limits<double>::quiet_NaN();
  double slope = kGuessedSlope;
  // Where the angle is scanned for, an angle up to which every slope is
  // known to reach the target (a higher target's steepest safe angle, or
  // a taller slope's: safer_when_lower), where the scan starts rather than
  // at kLeastSlopeAngle.
  double clear_to = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> events = {};  // water_table_events
};

struct Steepest {
  double angle;  // 90 where a vertical cut and all flatter reach the target;
                 // not a number where a slope of kLeastSlopeAngle falls short
  double slope;  // d(fs)/d(angle) over the last bracket; not a number if none
};

// The steepest safe angle, found to the tolerance and on the safe side: the
// critical factor of safety, `fs` at an angle in [kLeastSlopeAngle, 90],
// reaches the target there and at every flatter angle.  `solved` holds
// angles already solved and their factors of safety, read before the first
// call of `fs`.
Steepest steepest_safe_angle(const std::function<double(double)>& fs,
                             const std::map<double, double>& solved, double target,
                             const SteepestSearch& search);

}  // namespace telk
