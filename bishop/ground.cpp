// The rule on inputs: which ground the solver takes.  A friction angle of
// 90 degrees or more holds any slope up; a face beyond 90 degrees
// overhangs, which the slip circles do not model.
#include <cmath>
#include <limits>

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
      return value >= 1 ? "is 1 or more: the soil would float" : nullptr;
    case kWaterTable:
    case kCircle:
      return nullptr;  // any finite number
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

const char* why_table_not_taken(const double* x, const double* y, int points) {
  if (points < 2) return "has fewer than two points";
  if (points > kTablePoints) return "has more than 16 points";
  for (int i = 0; i < points; ++i) {
    if (why_not_taken(kWaterTable, x[i]) != nullptr || why_not_taken(kWaterTable, y[i]) != nullptr)
      return "has a point that is not finite";
    if (i > 0 && !(x[i] > x[i - 1])) return "has points whose x does not rise";
  }
  return nullptr;
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
  if (w.table_points > 0) {
    if ((*why = why_table_not_taken(w.table_x, w.table_y, w.table_points)) != nullptr)
      return kWaterTable;
    if (w.pore_ratio != 0) {
      *why = "is given with a pore-pressure ratio";
      return kWaterTable;
    }
    if ((*why = why_not_taken(kWaterUnitWeight, w.unit_weight)) != nullptr)
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
  *why = nullptr;
  return -1;
}

}  // namespace telk
