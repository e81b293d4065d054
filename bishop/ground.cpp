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
    default:  // the unit weight and the height
      return value > 0 ? nullptr : "is not above 0";
  }
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
  return -1;
}

}  // namespace telk
