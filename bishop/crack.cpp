#include "bishop/crack.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace telk {

double rankine_crack_depth(double friction_angle, double cohesion, double unit_weight) {
  const double active = std::tan((45 - friction_angle / 2) * (std::numbers::pi / 180));
  return 2 * cohesion / (unit_weight * active);
}

void set_crack(const Ground& ground, Section* section) {
  const Crack& crack = ground.crack;
  const double depth = crack.rankine ? rankine_crack_depth(ground.friction_angle, ground.cohesion,
                                                           ground.unit_weight)
                                     : crack.depth;
  section->crack_depth = std::min(depth / ground.height, kDeepestCrack);
  section->crack_fill = crack.fill;
  section->crack_water = crack.fill > 0 ? crack.water_unit_weight / ground.unit_weight : 0;
}

bool cut_at_crack(const Section& section, Arc* arc) {
  const double level = 1 - section.crack_depth;
  if (!(section.crack_depth > 0 && arc->entry_y > level)) return true;
  // Where the rising side of the circle reaches the level: (r - h)(r + h),
  // h the centre's height above it, keeps its digits near the lowest point.
  const double above = arc->centre_y - level, r = arc->radius;
  if (!(above < r)) return false;
  const double x = std::min(arc->entry_x, arc->centre_x + std::sqrt((r - above) * (r + above)));
  if (!(x > arc->exit_x)) return false;
  arc->entry_x = x;
  arc->entry_y = level;
  arc->base_to = std::min(arc->base_to, x);
  arc->base_from = std::min(arc->base_from, arc->base_to);
  arc->crack = ground_y(section, x) - level;
  return true;
}

double crack_water_moment(const Section& section, const Arc& arc) {
  if (!(section.crack_fill > 0 && arc.crack > 0)) return 0;
  const double water = section.crack_fill * arc.crack;
  const double thrust = section.crack_water * water * water / 2;
  return thrust * (arc.centre_y - (arc.entry_y + water / 3)) / arc.radius;
}

}  // namespace telk
