#include "report/check_file.h"

#include <cmath>

#include "chart/chart.h"
#include "report/layout.h"

namespace telk {

std::string check_header(float density, float friction_angle, float cohesion) {
  std::string h = ground_lines(density, friction_angle, cohesion);
  h += std::string("Bishop\tFS 1\t\t\tFS 1,3\t\t\tFS 1,5") + kLineEnd;
  h += "H";
  for (int group = 0; group < 3; ++group) h += "\tangle\tFS Bishop\tangle Bishop";
  h += kLineEnd;
  return h;
}

double built_angle(float chart_angle) { return std::nearbyint(double{chart_angle}); }

CheckRows::CheckRows(float friction_angle, float cohesion, float density)
    : tan_phi_(std::numeric_limits<double>::quiet_NaN()), cohesion_(cohesion), density_(density) {
  // A cohesion or unit weight that is negative or not finite is left to
  // the table, which answers not-a-number for it.
  if (friction_angle >= 0 && friction_angle < 90)
    tan_phi_ = std::tan(double{radians(friction_angle)});
}

char* CheckRows::write_after_height(char* out, float h, const float chart_angles[3]) {
  const TableStrength strength = table_strength(tan_phi_, cohesion_, density_, double{h});
  for (int g = 0; g < 3; ++g) {
    out = write_angle_cell(out, chart_angles[g]);
    // No Bishop answer for a height that is not above zero, nor for an
    // angle the chart does not give.
    const double fs = std::isfinite(chart_angles[g])
                          ? check_factor_of_safety(strength, built_angle(chart_angles[g]))
                          : std::numeric_limits<double>::quiet_NaN();
    out = write_comma_cell(out, fs, 3);
    out = write_comma_cell(
        out, check_steepest_angle(strength, kCheckTargets[g], &cursors_[g]), 1);
    if (fs < lowest_[g].fs) lowest_[g] = {fs, h};  // the first row of the lowest
  }
  *out++ = kLineEnd[0];
  *out++ = kLineEnd[1];
  return out;
}

}  // namespace telk

namespace telk {

std::string lowest_line(const CheckRows& rows, int g) {
  const double target = kCheckTargets[g];
  const Lowest& lowest = rows.lowest(g);
  const std::string column = "FS " + fixed_text(target, 1) + ": ";
  if (!std::isfinite(lowest.fs)) return column + "no angle of the chart to check";
  if (falls_short(rows, g)) {
    return column + "at " + fixed_text(lowest.height, 2) + " m the chart's angle has a factor " +
           "of safety of only " + fixed_text(lowest.fs, 3) + " by Bishop's method, more than " +
           "2% below " + fixed_text(target, 1) + ": not safe there";
  }
  return column + "Bishop's method gives the chart's angles a factor of safety of " +
         fixed_text(lowest.fs, 3) + " or more (the least at " + fixed_text(lowest.height, 2) +
         " m)";
}

bool falls_short(const CheckRows& rows, int g) {
  return rows.lowest(g).fs < 0.98 * kCheckTargets[g];
}

}  // namespace telk
