#include "report/layout.h"

#include <algorithm>
#include <bit>

#include "report/cells.h"

namespace telk {

std::string ground_lines(float density, float friction_angle, float cohesion) {
  // Catalan labels; the accented letters are the Windows-1252 bytes a
  // spreadsheet on the users' machines expects (a-grave 0xE0, o-acute 0xF3).
  std::string h;
  h += "Par\xE0" "metres\tdensitat\t" + fixed_text(density, 1) + "\tTn/m3" + kLineEnd;
  h += "geomec\xE0" "nics\tAngle\t" + fixed_text(friction_angle, 1) + "\tgraus" + kLineEnd;
  h += "\tCohesi\xF3" "\t" + fixed_text(cohesion, 1) + "\tTn/m2" + kLineEnd + kLineEnd;
  return h;
}

std::string header(float density, float friction_angle, float cohesion) {
  std::string h = ground_lines(density, friction_angle, cohesion);
  h += std::string("ABAC 1\tFS 1\t\t\tFS 1,3\t\t\tFS 1,5") + kLineEnd;
  h += "H";
  for (int group = 0; group < 3; ++group)
    h += "\tTg (Phi)/FS=\tC'/(d*H*Tg Phi)\tangle";
  h += kLineEnd;
  return h;
}

FrictionGroups friction_groups(float phi_radians) {
  FrictionGroups groups;
  for (int g = 0; g < 3; ++g) {
    char cell[kCellMax];
    const float x = friction_ratio(phi_radians, kFactorsOfSafety[g]);
    groups.rows[g] = chart_row(x);
    groups.cells[g].assign(cell, write_decimal_cell(cell, x));
    // The FS 1.0 group shows no trace.
    if (g > 0) groups.trace.append(cell, write_trace(cell, x));
  }
  return groups;
}

void RowTails::remake(float y) {
  std::uint32_t angle_bits[3];
  float angles[3];
  bool same_angles = size_ != 0;
  for (int g = 0; g < 3; ++g) {
    angles[g] = slope_angle(groups_.rows[g], y);
    angle_bits[g] = std::bit_cast<std::uint32_t>(angles[g]);
    same_angles = same_angles && angle_bits[g] == angle_bits_[g];
  }
  y_bits_ = std::bit_cast<std::uint32_t>(y);
  if (same_angles) {
    // Written over the first group's cell: if it has kept its length, the
    // rest of the tail stands.
    char* first = tail_ + y_cell_at_[0];
    if (static_cast<std::size_t>(write_decimal_cell(first, y) - first) == y_cell_size_) {
      std::copy_n(first, y_cell_size_, tail_ + y_cell_at_[1]);
      std::copy_n(first, y_cell_size_, tail_ + y_cell_at_[2]);
      return;
    }
  }
  char* out = tail_;
  for (int g = 0; g < 3; ++g) {
    out = std::copy(groups_.cells[g].begin(), groups_.cells[g].end(), out);
    y_cell_at_[g] = static_cast<std::size_t>(out - tail_);
    out = g == 0 ? write_decimal_cell(out, y) : std::copy_n(tail_ + y_cell_at_[0], y_cell_size_, out);
    if (g == 0) y_cell_size_ = static_cast<std::size_t>(out - tail_) - y_cell_at_[0];
    out = write_angle_cell(out, angles[g]);
    angle_bits_[g] = angle_bits[g];
  }
  out = std::copy_n(kLineEnd, 2, out);
  size_ = static_cast<std::size_t>(out - tail_);
}

}  // namespace telk
