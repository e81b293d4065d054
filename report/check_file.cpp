#include "report/check_file.h"

#include <cmath>

#include "report/layout.h"

namespace telk {

std::string check_header(float density, float friction_angle, float cohesion) {
  return ground_lines(density, friction_angle, cohesion) +
         title_lines("Bishop", "\tangle\tFS Bishop\tangle Bishop");
}

double built_angle(float chart_angle) { return std::nearbyint(double{chart_angle}); }

char* write_check_tail(char* out, const CheckCells cells[kGroups], std::string_view* steepest) {
  for (int g = 0; g < kGroups; ++g) {
    out = write_angle_cell(out, cells[g].chart_angle);
    out = write_comma_cell(out, cells[g].fs, 3);
    char* const cell = out;
    out = write_comma_cell(out, cells[g].steepest, 1);
    if (steepest != nullptr) steepest[g] = {cell, static_cast<std::size_t>(out - cell)};
  }
  *out++ = kLineEnd[0];
  *out++ = kLineEnd[1];
  return out;
}

std::string lowest_line(double target, double lowest_fs, float height, bool short_of_target) {
  const std::string column = fs_title(target) + ": ";
  if (!std::isfinite(lowest_fs)) return column + "no angle of the chart to check";
  if (short_of_target) {
    return column + "at " + fixed_text(height, 2) + " m the chart's angle has a factor " +
           "of safety of only " + cut_text(lowest_fs, 3) + " by Bishop's method, more than " +
           "2% below " + fixed_text(target, 1) + ": not safe there";
  }
  return column + "Bishop's method gives the chart's angles a factor of safety of " +
         cut_text(lowest_fs, 3) + " or more (the least at " + fixed_text(height, 2) + " m)";
}

}  // namespace telk
