// The rule on inputs: which ground the solver takes.  A friction angle of
// 90 degrees or more holds any slope up; a face beyond 90 degrees
// overhangs, which the slip circles do not model.
//
// Water is taken within the range where the answer is the same on every
// system telk runs on.  Their C libraries' tan, hypot, exp and log differ
// in the last bit on some arguments; that is lost in the cut to three
// decimals wherever a small change of a circle changes its factor of
// safety a little.  Where the water bears almost all the weight it does
// not: the friction on each slice's base is (W - u b) tan(phi), never
// below zero, and where u b and W nearly cancel a slice's friction turns
// on and off along the circles, the least sits in a crease, and the
// search's steps follow the last bits to another valley (--ru 0.9999: a
// check cell 0,180 on Linux and 0,183 in the page; gamma_w 1e10: 0,832
// and 0,833).  So r_u is at most 0.9 and gamma_w between a quarter of
// gamma and gamma.
#include <cmath>
#include <limits>
#include <string>

#include "bishop/bishop.h"

namespace telk {

const char* why_not_taken(GroundInput input, double value) {
  if (!std::isfinite(value)) return "is not finite";
  switch (input) {
    case kFrictionAngle:
      if (value < 0) return "is below 0 degrees";
      return value >= 90 ? "is 90 degrees or more: no slope can fail" : nullptr;
    case kCohesion:
      return value < 0 ? "is below 0" : nullptr;
    case kSlopeAngle:
      if (!(value > 0)) return "is not above 0 degrees";
      return value > 90 ? "is above 90 degrees: the face would overhang" : nullptr;
    case kPoreRatio:
      if (value < 0) return "is below 0";
      // At 1 the pore pressure bears the whole weight: no friction is left.
      // A table at the ground gives about gamma_w / gamma, some 0.5, and
      // upward seepage more; at 0.9 the soil all but floats.
      if (value >= 1) return "is 1 or more: the soil would float";
      return value > kMostPoreRatio ? "is above 0.9: the soil would all but float" : nullptr;
    case kWaterTable:
      // Interpolated there, a level loses |x| 2^-53 H: 1e-10 H at the
      // bound, a factor of safety some 3e-11 of itself (1e-9 at 1e8 H,
      // 2e-3 at 1e16), far beyond any circle the search looks at.
      return std::fabs(value) > kFarthestWaterTablePoint
                 ? "is more than 1e6 heights from the toe: the table's levels would lose digits"
                 : nullptr;
    case kCircle:
      return nullptr;  // any finite number
    case kCrackDepth:
    case kLoadPressure:
    case kLoadFrom:
      return value < 0 ? "is below 0" : nullptr;
    case kCrackFill:
      if (value < 0) return "is below 0";
      return value > 1 ? "is above 1: the crack holds no more than its depth" : nullptr;
    case kBaseDepth:
      return value < 0 ? "is below 0" : nullptr;
    case kHorizontalLoad:
      if (value < 0) return "is below 0";
      return value >= 1 ? "is 1 or more" : nullptr;
    case kVerticalLoad:
      // A whole g either way is beyond any earthquake's pseudo-static load.
      if (value <= -1) return "is -1 or less";
      return value >= 1 ? "is 1 or more: the soil would weigh nothing" : nullptr;
    default:  // the unit weights and the height
      return value > 0 ? nullptr : "is not above 0";
  }
}

const char* why_water_table_not_taken(const double* x, const double* y, int points) {
  if (points < 2) return "has fewer than two points";
  if (points > kWaterTablePoints) {
    static const std::string too_many =
        "has more than " + std::to_string(kWaterTablePoints) + " points";
    return too_many.c_str();
  }
  for (int i = 0; i < points; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return "has a point that is not finite";
    if (why_not_taken(kWaterTable, x[i]) != nullptr || why_not_taken(kWaterTable, y[i]) != nullptr)
      return "has a point more than 1e6 heights from the toe";
    if (i > 0 && !(x[i] > x[i - 1])) return "has points whose x does not rise";
  }
  return nullptr;
}

const char* why_water_weight_not_taken(double water_unit_weight, double unit_weight) {
  if (const char* why = why_not_taken(kWaterUnitWeight, water_unit_weight)) return why;
  // Soil lighter than the water in it would float; none is four times as
  // heavy (the heaviest ores less than 3.5), and a quarter catches kN/m3
  // against Tn/m3 either way (9.81 or 1 / 9.81 of the soil's).
  if (water_unit_weight > unit_weight) return "is above the soil's: the soil would float";
  return water_unit_weight < unit_weight / 4
             ? "is below a quarter of the soil's: are both in the same units?"
             : nullptr;
}

bool takes_strength(double friction_angle, double cohesion, double unit_weight) {
  return why_not_taken(kFrictionAngle, friction_angle) == nullptr &&
         why_not_taken(kCohesion, cohesion) == nullptr &&
         why_not_taken(kUnitWeight, unit_weight) == nullptr;
}

int wrong_input(const Ground& g, const char** why) {
  const double inputs[5] = {g.friction_angle, g.cohesion, g.unit_weight, g.height, g.slope_angle};
  for (int i = 0; i < 5; ++i) {
    *why = why_not_taken(static_cast<GroundInput>(i), inputs[i]);
    if (*why != nullptr) return i;
  }
  if (!(g.cohesion / (g.unit_weight * g.height) < std::numeric_limits<double>::infinity())) {
    *why = "is too large for the unit weight and height";
    return kCohesion;
  }
  const Water& w = g.water;
  if ((*why = why_not_taken(kPoreRatio, w.pore_ratio)) != nullptr) return kPoreRatio;
  if (w.water_table_points > 0) {
    *why = why_water_table_not_taken(w.water_table_x, w.water_table_y, w.water_table_points);
    if (*why != nullptr) return kWaterTable;
    if (w.pore_ratio != 0) {
      *why = "is given with a pore-pressure ratio";
      return kWaterTable;
    }
    if ((*why = why_water_weight_not_taken(w.unit_weight, g.unit_weight)) != nullptr)
      return kWaterUnitWeight;
  }
  if ((*why = why_not_taken(kBaseDepth, g.base_depth)) != nullptr) return kBaseDepth;
  if (!(g.base_depth / g.height <= kDeepestBase)) {
    *why = kBaseTooDeep;
    return kBaseDepth;
  }
  if ((*why = why_not_taken(kHorizontalLoad, g.shaking.horizontal)) != nullptr)
    return kHorizontalLoad;
  if ((*why = why_not_taken(kVerticalLoad, g.shaking.vertical)) != nullptr) return kVerticalLoad;
  const Crack& crack = g.crack;
  if ((*why = why_not_taken(kCrackDepth, crack.depth)) != nullptr) return kCrackDepth;
  if ((*why = why_not_taken(kCrackFill, crack.fill)) != nullptr) return kCrackFill;
  if (crack.fill > 0 &&
      (*why = why_water_weight_not_taken(crack.water_unit_weight, g.unit_weight)) != nullptr)
    return kWaterUnitWeight;
  const Load& load = g.load;
  if ((*why = why_not_taken(kLoadPressure, load.pressure)) != nullptr) return kLoadPressure;
  if (!(load.pressure / (g.unit_weight * g.height) < std::numeric_limits<double>::infinity())) {
    *why = "is too large for the unit weight and height";
    return kLoadPressure;
  }
  if ((*why = why_not_taken(kLoadFrom, load.from)) != nullptr) return kLoadFrom;
  if (!(load.width > 0)) {
    *why = "is not above 0";
    return kLoadWidth;
  }
  *why = nullptr;
  return -1;
}

}  // namespace telk
