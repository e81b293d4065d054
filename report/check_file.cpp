#include "report/check_file.h"

#include <algorithm>
#include <bit>
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

double kept_cohesion_ratio(double ratio) {
  if (!(ratio > 0 && ratio < std::numeric_limits<double>::infinity())) return ratio;
  // Cut to 14 of the 52 bits of the fraction: less cohesion, on the safe
  // side.
  constexpr std::uint64_t kDropped = (std::uint64_t{1} << 38) - 1;
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(ratio) & ~kDropped);
}

CheckRows::CheckRows(float friction_angle, float cohesion, float density)
    : tan_phi_(std::numeric_limits<double>::quiet_NaN()), cohesion_(cohesion), density_(density) {
  if (takes_strength(friction_angle, cohesion, density))
    tan_phi_ = std::tan(double{radians(friction_angle)});
}

char* CheckRows::write_after_height(char* out, float h, const float chart_angles[3]) {
  // No Bishop answer for a height that is not above zero.
  const double ratio = h > 0 ? kept_cohesion_ratio(cohesion_ / (density_ * double{h}))
                             : std::numeric_limits<double>::quiet_NaN();
  bool same = size_ != 0 && std::bit_cast<std::uint64_t>(ratio) == ratio_bits_;
  for (int g = 0; g < 3; ++g)
    same = same && std::bit_cast<std::uint32_t>(chart_angles[g]) == angle_bits_[g];
  if (!same) remake(ratio, h, chart_angles);
  return std::copy_n(tail_, size_, out);
}

void CheckRows::remake(double ratio, float h, const float chart_angles[3]) {
  const TableStrength strength = table_strength(tan_phi_, ratio);
  char* out = tail_;
  for (int g = 0; g < 3; ++g) {
    out = write_angle_cell(out, chart_angles[g]);
    // No Bishop answer for an angle the chart does not give.
    const double fs = std::isfinite(chart_angles[g])
                          ? check_factor_of_safety(strength, built_angle(chart_angles[g]))
                          : std::numeric_limits<double>::quiet_NaN();
    out = write_comma_cell(out, fs, 3);
    out = write_comma_cell(out, check_steepest_angle(strength, kCheckTargets[g], &cursors_[g]), 1);
    // The first row of the lowest: a row that repeats it is not made again.
    if (fs < lowest_[g].fs) lowest_[g] = {fs, h};
    angle_bits_[g] = std::bit_cast<std::uint32_t>(chart_angles[g]);
  }
  *out++ = kLineEnd[0];
  *out++ = kLineEnd[1];
  size_ = static_cast<std::size_t>(out - tail_);
  ratio_bits_ = std::bit_cast<std::uint64_t>(ratio);
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
           "of safety of only " + cut_text(lowest.fs, 3) + " by Bishop's method, more than " +
           "2% below " + fixed_text(target, 1) + ": not safe there";
  }
  return column + "Bishop's method gives the chart's angles a factor of safety of " +
         cut_text(lowest.fs, 3) + " or more (the least at " + fixed_text(lowest.height, 2) +
         " m)";
}

bool falls_short(const CheckRows& rows, int g) {
  return rows.lowest(g).fs < 0.98 * kCheckTargets[g];
}

}  // namespace telk
