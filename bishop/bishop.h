// Bishop's simplified method of slices for a homogeneous slope: the factor
// of safety of one slip circle, the critical circle, the steepest angle for
// a target factor of safety, and a fast path over a table for dry ground on
// a base at the toe.
//
// The ground: a slope of height H at angle beta between a horizontal crest
// and a horizontal toe, on a firm base D below the toe (D = 0 by default);
// cohesion c, friction angle phi, unit weight gamma, in any consistent
// units; dry, or with water in it; still, or under an earthquake's
// pseudo-static load.  Origin at the toe, x into the slope (the
// crest starts at x = H / tan(beta)), y up.  A slip circle enters the crest
// or the face and leaves the face, the toe or, over a deeper base, the
// ground in front of the toe; where it dips below the base (y < -D) its
// slip follows the base (a composite slip).
//
// A file a job: the rule on inputs (ground.cpp); the section, in units of
// H and gamma H, and where a circle's slip meets the ground and follows
// the base (section.h); the slices and their weights (slices.h); Bishop's equation
// on one arc, and one circle's factor of safety (equilibrium.h); the
// critical circle's search: its circles (search_circle.h), the coarse
// grid (search_grid.h), the refinements (search_refine.h) and the circles
// centred level with the crest (crest_level.h), and the answers made of
// it (critical.cpp); the steepest safe angle (steepest.h); the yield
// coefficient (yield.cpp); the fast path over the table (fast_path.cpp,
// table.h); a sweep's answers, off the table, at each row or read off
// nodes (sweep_answers.h).
#pragma once

#include <limits>
#include <optional>

namespace telk {

// Water in the ground: none, a pore-pressure ratio r_u (at the base of a
// slice the pore pressure is r_u gamma times the height of soil above it),
// or a water table through points (x, y) in units of H, x rising, level
// before the first and after the last, taken at the ground where it is
// above it (no free water stands on the slope), with water of unit weight
// gamma_w: the pore pressure at a slice's base is gamma_w times its depth
// below the table.
inline constexpr int kWaterTablePoints = 16;
// The most r_u, and how far from the toe a water table's points may lie, in
// units of H (ground.cpp says why).
inline constexpr double kMostPoreRatio = 0.9;
inline constexpr double kFarthestWaterTablePoint = 1e6;
struct Water {
  double pore_ratio = 0;      // r_u, 0 <= r_u <= kMostPoreRatio
  int water_table_points = 0;  // 0, or 2 to kWaterTablePoints
  double water_table_x[kWaterTablePoints] = {};
  double water_table_y[kWaterTablePoints] = {};
  double unit_weight = 0;  // gamma / 4 <= gamma_w <= gamma, with a water table
};

// Whether the ground is wet: a pore-pressure ratio or a water table.
inline bool wet(const Water& water) {
  return water.pore_ratio > 0 || water.water_table_points > 0;
}

// Whether the plane just under the face is the critical slip: without
// cohesion, where no water table's pressure varies along the face.
inline bool plane_is_critical(double cohesion, const Water& water) {
  return cohesion == 0 && water.water_table_points == 0;
}

// An earthquake's pseudo-static load: at each slice's centre of gravity a
// horizontal force k_h W out of the slope, and a vertical force k_v W,
// upward for positive k_v, so that the slice weighs (1 - k_v) W.  Pore
// pressures are the static ones.
struct Shaking {
  double horizontal = 0;  // k_h, 0 <= k_h < 1
  double vertical = 0;    // k_v, -1 < k_v < 1
};

// A tension crack behind the crest (bishop/crack.h): the ground above the
// level `depth` below the crest, behind the face, is cracked; a slip that
// rises into it ends at that level, at the foot of a vertical crack with
// no strength up to the ground.  At most half the slope's height deep.
// Filled to `fill` of its depth with water of unit weight gamma_w, it
// pushes the soil out of the slope.
struct Crack {
  double depth = 0;      // Z >= 0, in the units of H; 0: none
  bool rankine = false;  // Z = 2c / (gamma tan(45 - phi / 2)) instead
  double fill = 0;       // 0 <= F <= 1
  double water_unit_weight = 0;  // gamma_w, gamma / 4 <= gamma_w <= gamma, with fill > 0
};

// A uniform vertical pressure on the crest (bishop/load.h), from `from`
// behind the crest's edge over `width`, in the units of H: it weighs on
// the slices under it; pore pressures and an earthquake's load stay the
// soil's.
struct Load {
  double pressure = 0;  // Q >= 0, in the units of c
  double from = 0;      // A >= 0
  double width = std::numeric_limits<double>::infinity();  // B > 0
};

struct Ground {
  double friction_angle;  // phi, degrees, 0 <= phi < 90
  double cohesion;        // c >= 0
  double unit_weight;     // gamma > 0
  double height;          // H > 0
  double slope_angle;     // beta, degrees, 0 < beta <= 90
  Water water = {};
  double base_depth = 0;  // D >= 0, below the toe, in the units of H
  Shaking shaking = {};
  Crack crack = {};
  Load load = {};
};

// Whether the ground has a tension crack or a load on its crest.
inline bool crest_given(const Ground& ground) {
  return ground.crack.depth > 0 || ground.crack.rankine || ground.load.pressure > 0;
}

// The ground's inputs in their order, as a person names them.
enum GroundInput {
  kFrictionAngle, kCohesion, kUnitWeight, kHeight, kSlopeAngle,
  kPoreRatio, kWaterTable, kWaterUnitWeight, kBaseDepth, kHorizontalLoad, kVerticalLoad,
  kCircle, kCrackDepth, kCrackFill, kLoadPressure, kLoadFrom, kLoadWidth
};
inline constexpr const char* kGroundInputs[] = {
    "friction angle", "cohesion", "unit weight", "height", "slope angle",
    "pore-pressure ratio", "water table", "unit weight of water", "base depth",
    "horizontal seismic coefficient", "vertical seismic coefficient", "circle",
    "crack depth", "crack's water", "load", "load's distance", "load's width"};

// The rule on inputs, which every caller that asks whether the solver has
// an answer follows: why it does not take `value` for `input`, in a phrase
// that follows the value ("is below 0"); null when it takes it.  The water
// table's points (kWaterTable) may be any numbers up to
// kFarthestWaterTablePoint either way, a given circle's centre and radius
// (kCircle) any finite numbers.
const char* why_not_taken(GroundInput input, double value);

// Why it does not take a water table through these points (each one taken
// by why_not_taken), in a phrase that follows them; null when it does:
// two to kWaterTablePoints points, x rising.
const char* why_water_table_not_taken(const double* x, const double* y, int points);

// Why it does not take water of unit weight gamma_w in soil of unit weight
// gamma (which why_not_taken takes), in a phrase that follows "the unit
// weight of water"; null when it does: gamma_w from gamma / 4 to gamma.
const char* why_water_weight_not_taken(double water_unit_weight, double unit_weight);

// Whether it takes a soil of this strength, whatever the slope.
bool takes_strength(double friction_angle, double cohesion, double unit_weight);

// The deepest base the solver takes, in heights of the slope.  The
// search's circles reach out as far as the slope is wide and high and twice
// the base deep, in steps of that reach: over a base much deeper than the
// slope is high they step past its shallow critical circles (a wet slope's
// least, 0.74 H in front of the toe, is missed over bases 45 and 50 H
// down), and a phi = 0 slope's answer falls from Taylor's limit toward 0
// once the base is some 1e5 H down.  To 20 H every random slope tried
// finds the circles a shallower base finds, and Taylor's limit
// gamma H / c = 5.52 (phi = 0, beta 30 degrees) is reached by 10 H: a base
// deeper than that is as good as none for any slip the search finds.
inline constexpr double kDeepestBase = 20;
inline constexpr char kBaseTooDeep[] =
    "is deeper than 20 times the height, beyond which the search does not reach";

// The first input, in that order, that the solver does not take, with why;
// -1 when there is none.  Beyond each input's own rule, c / (gamma H) must
// be finite (as cohesion: "is too large for the unit weight and height"),
// D / H at most kDeepestBase (as the base depth: kBaseTooDeep), there is
// water of one kind at most (as the water table: "is given with a
// pore-pressure ratio"), and a table's water is one that
// why_water_weight_not_taken takes in the soil (as the unit weight of
// water), as is a crack's water; Q / (gamma H) must be finite (as the
// load) and a load's width above 0, +infinity for the whole crest.
int wrong_input(const Ground& ground, const char** why);

// A slip circle and the two ends of its slip, exit_x < entry_x: the
// circle's lower half between them, but from base_from to base_to, where
// the circle dips below the base, the base (a composite slip; base_from =
// base_to where it does not).  The exit is where the slip leaves the face,
// the toe or the ground in front of it, the entry where it meets the crest
// or the face.  In the solver's units (section.h), or in the ground's:
// in_ground_units.
struct Arc {
  double centre_x, centre_y, radius;
  double exit_x, exit_y, entry_x, entry_y;
  double base_from = 0, base_to = 0;
  // Where a tension crack cuts the arc, its entry is the crack's foot,
  // and this the crack's depth from there up to the ground; 0 for none.
  double crack = 0;
};

// The arc with every length times `height`: from the solver's units to the
// ground's.
Arc in_ground_units(const Arc& arc, double height);

// A factor of safety and the slip it is found on: of a given circle, or
// the least the critical circle's search finds.
struct SlipAnswer {
  double fs;  // factor of safety; +infinity where nothing drives the slip
  Arc arc;
  bool floored = false;  // some slice's m_alpha was raised to kMAlphaFloor
  // Of a given circle: Bishop's equation has no root on it (fs is not a
  // number).  Of the critical circle: the search passed over circles on
  // which it has none.
  bool unsolved = false;
  // Of the critical circle: fs is the limit that ever longer slips along the
  // base tend to under an earthquake's load, the level ground sliding on it
  // (sliding_factor_of_safety), below every slip the search found; in the
  // solver's units the arc is the best circle the search found, whose
  // factor of safety is above it, in the ground's its numbers are not a
  // number.
  bool sliding = false;
  // fs is the same slope's with phi = 0, higher than Bishop's with its
  // friction, and the arc is its critical one (or the circle given):
  // friction never makes a slope less safe (critical_circle).
  bool frictionless = false;
  // Of the critical circle, where the frictionless least was searched for:
  // the least arc of the search whose answer was not taken, with friction
  // where `frictionless`, else without.
  std::optional<Arc> not_taken = {};
};

// The answer with its arcs in the ground's units (in_ground_units); where
// it is `sliding`, the arc's numbers are not a number.
SlipAnswer in_ground_units(const SlipAnswer& answer, double height);

// The m_alpha = cos(alpha) + sin(alpha) tan(phi) / F of a slice whose base
// rises toward the toe (alpha < 0) is raised to this when below it, as is
// usual, so that a steep slice at the toe neither divides by zero nor turns
// its resistance negative.  Where the base rises toward the crest m_alpha
// is at least cos(alpha) > 0 and is left as it is: c b / cos(alpha) is the
// cohesion along the slice's base.
inline constexpr double kMAlphaFloor = 0.2;

// Slices of one circle, before the toe and the crest edge split two of them.
inline constexpr int kSlices = 64;

// Factor of safety of the circle (centre, radius), in the ground's units,
// by Bishop's simplified method with `slices` slices, its slip following the
// base where the circle dips below it.  Not a number when the circle is no
// slip circle of this ground (it does not cut the ground twice), or where
// Bishop's equation has no root on it: much water on a steep face, or a
// strong earthquake's load, can leave the moments unbalanced however
// strong the soil (its strength scaled up by any factor scales F by it, and
// no F balances them), and the method has no solution there.  *floored,
// when given, tells whether an m_alpha was floored.
double circle_factor_of_safety(const Ground& ground, double centre_x, double centre_y,
                               double radius, bool* floored, int slices = kSlices);

// The same as critical_circle gives it, with where the slip enters and
// leaves; a circle that passes the toe within `rounding` (in the ground's
// units: a circle's numbers written to some decimals and read back) leaves
// there.  fs is not a number for no slip circle, and where Bishop's
// equation has no root (`unsolved`).  With cohesion it is at least the
// circle's own with phi = 0 (`frictionless` where that is higher), as the
// critical circle's is at least the slope's least with phi = 0.
SlipAnswer given_circle(const Ground& ground, double centre_x, double centre_y, double radius,
                        double rounding = 0);

// The critical circle: the least factor of safety over every slip circle,
// its slip following the base where it dips below it.  The ground must be
// one that wrong_input takes.  Without cohesion the least is the limit of
// ever shallower circles, the plane just under the face: the factor of
// safety is tan(phi) / tan(beta) exactly (0 for c = phi = 0) and the
// circle's numbers are not a number, as they are where ever longer slips
// along the base tend to less than any circle (`sliding`).  Circles on
// which Bishop's equation has no root are passed over (`unsolved`).  With
// cohesion and friction it is at least the same slope's least with phi =
// 0 (`frictionless` where that governs).
SlipAnswer critical_circle(const Ground& ground);

// The yield coefficient: the least horizontal seismic coefficient k_h at
// which the critical factor of safety is 1, at the ground's k_v (its k_h is
// ignored), with the critical circle at it (fs about 1).  0 where the
// factor of safety is 1 or less without the load (`at` is then the critical
// circle without it).  Like the critical factor of safety it is the least
// the search finds, and the circle's numbers are not a number without
// cohesion.  The search goes no further than k_h = 1, a whole g: where the
// critical factor of safety is still above 1 there, `coefficient` is 1
// with `beyond` set, and `at` the critical circle at 1.
struct Yield {
  double coefficient;
  SlipAnswer at;
  bool beyond = false;
};
Yield yield_coefficient(const Ground& ground);

// The critical factor of safety in units of (tan(phi) + c / (gamma H)),
// which depends on beta and on the cohesion share
//   s = c / (c + gamma H tan(phi))  in [0, 1]
// alone: s = 0 is a cohesionless slope (1 / tan(beta)), s = 1 is phi = 0.
// The table of the fast path holds this function.
double critical_fs_per_strength(double slope_angle, double cohesion_share);

// The steepest safe angle for target_fs: the steepest angle below which
// every slope's critical factor of safety reaches it (the flattest angle
// where it falls below, which under a water table need not be the only
// one), found to 0.001 degree on the safe side (steepest.h): 90 where a
// vertical cut and every flatter slope reach the target, not a number
// where even a slope of kLeastSlopeAngle falls short of it.  wrong_input must take the ground with any slope
// angle (slope_angle is ignored).
double steepest_angle(const Ground& ground, double target_fs);
inline constexpr double kLeastSlopeAngle = 1.0;

// The fast path: the critical factor of safety and the steepest angle read
// off a table of critical_fs_per_strength by cubic interpolation, then
// divided by 1 + kTableError, at least twice the most the cubic lies above
// the solver halfway between the table's nodes (bishop/table_error.cpp; but
// beyond 88 degrees, where the next whole degree's value is read instead):
// the factor of safety is never above the solver's and, up to 88 degrees,
// at most twice that below; the angle is never steeper than the solver's.
// It uses + - * / and sqrt only, so that it gives the same bits on every
// platform; the caller gives tan(phi).  Outside the table (a slope angle
// below kLeastSlopeAngle or above 90; a negative or non-finite strength; a
// height or unit weight not above zero) the result is not a number, as is
// the steepest angle where even a slope of kLeastSlopeAngle falls short of
// the target (c = phi = 0 among them).
inline constexpr double kTableError = 0.002;
double check_factor_of_safety(double tan_phi, double cohesion, double unit_weight,
                              double height, double slope_angle);
double check_steepest_angle(double tan_phi, double cohesion, double unit_weight,
                            double height, double target_fs);

// The same in two steps, for a row of a sweep that reads several answers
// for one slope: its strength in the table's terms, found once, then each
// answer.  scale is tan(phi) + c / (gamma H), not a number outside the
// table; the share's stencil is where the row's s falls in the table.
struct TableStrength {
  double scale;
  int share_base;
  double share_weights[4];
};
TableStrength table_strength(double tan_phi, double cohesion, double unit_weight,
                             double height);
// The same from c / (gamma H): not a number where it or tan(phi) is
// negative or not finite.
TableStrength table_strength(double tan_phi, double cohesion_ratio);
double check_factor_of_safety(const TableStrength& strength, double slope_angle);

// A sweep whose s moves little from row to row may keep one cursor per
// target: the steepest angle's search then starts from the last row's
// table cell, and gives exactly what it gives without (nullptr).
struct SteepestCursor {
  int row = 0;
};
double check_steepest_angle(const TableStrength& strength, double target_fs,
                            SteepestCursor* cursor);

}  // namespace telk
