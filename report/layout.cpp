#include "report/layout.h"

#include <algorithm>
#include <charconv>

#include "report/cells.h"

namespace telk {

std::string comma_text(double v) {
  char text[kCellMax];
  std::string label(text, std::to_chars(text, text + sizeof text, v).ptr);
  std::replace(label.begin(), label.end(), '.', ',');
  return label;
}

std::string fs_title(double fs) { return "FS " + fixed_text(fs, 1); }

std::string ground_lines(float density, float friction_angle, float cohesion) {
  // Catalan labels; the accented letters are the Windows-1252 bytes a
  // spreadsheet on the users' machines expects (a-grave 0xE0, o-acute 0xF3).
  std::string h;
  h += "Par\xE0" "metres\tdensitat\t" + fixed_text(density, 1) + "\tTn/m3" + kLineEnd;
  h += "geomec\xE0" "nics\tAngle\t" + fixed_text(friction_angle, 1) + "\tgraus" + kLineEnd;
  h += "\tCohesi\xF3" "\t" + fixed_text(cohesion, 1) + "\tTn/m2" + kLineEnd + kLineEnd;
  return h;
}

std::string title_lines(const char* corner, const char* group_columns) {
  std::string h = corner;
  for (const FactorOfSafety& fs : kFactorsOfSafety) h += "\tFS " + comma_text(fs.decimal) + "\t\t";
  h.resize(h.size() - 2);  // the last group's title ends the line
  h += kLineEnd;
  h += "H";
  for (int g = 0; g < kGroups; ++g) h += group_columns;
  h += kLineEnd;
  return h;
}

std::string header(float density, float friction_angle, float cohesion) {
  return ground_lines(density, friction_angle, cohesion) +
         title_lines("ABAC 1", "\tTg (Phi)/FS=\tC'/(d*H*Tg Phi)\tangle");
}

FrictionCells friction_cells(const float friction_ratios[kGroups]) {
  FrictionCells cells;
  for (int g = 0; g < kGroups; ++g) {
    char cell[kCellMax];
    const float x = friction_ratios[g];
    cells.cells[g].assign(cell, write_decimal_cell(cell, x));
    // The FS 1.0 group shows no trace.
    if (g > 0) cells.trace.append(cell, write_trace(cell, x));
  }
  return cells;
}

std::string_view RowTails::make(float y, const float angles[kGroups]) {
  std::uint32_t angle_bits[kGroups];
  bool same_angles = size_ != 0;
  for (int g = 0; g < kGroups; ++g) {
    angle_bits[g] = std::bit_cast<std::uint32_t>(angles[g]);
    same_angles = same_angles && angle_bits[g] == angle_bits_[g];
  }
  if (same_angles) {
    // Written over the first group's cell: if it has kept its length, the
    // rest of the tail stands.
    char* first = tail_ + y_cell_at_[0];
    if (static_cast<std::size_t>(write_decimal_cell(first, y) - first) == y_cell_size_) {
      for (int g = 1; g < kGroups; ++g) std::copy_n(first, y_cell_size_, tail_ + y_cell_at_[g]);
      return {tail_, size_};
    }
  }
  char* out = tail_;
  for (int g = 0; g < kGroups; ++g) {
    out = std::copy(cells_.cells[g].begin(), cells_.cells[g].end(), out);
    y_cell_at_[g] = static_cast<std::size_t>(out - tail_);
    out = g == 0 ? write_decimal_cell(out, y) : std::copy_n(tail_ + y_cell_at_[0], y_cell_size_, out);
    if (g == 0) y_cell_size_ = static_cast<std::size_t>(out - tail_) - y_cell_at_[0];
    out = write_angle_cell(out, angles[g]);
    angle_bits_[g] = angle_bits[g];
  }
  out = std::copy_n(kLineEnd, 2, out);
  size_ = static_cast<std::size_t>(out - tail_);
  return {tail_, size_};
}

}  // namespace telk
