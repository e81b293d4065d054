#include "report/layout.h"

#include <algorithm>

#include "report/cells.h"

namespace telk {

namespace {

std::string fixed1(float v) {
  char text[kCellMax];
  return std::string(text, write_fixed(text, v, 1));
}

}  // namespace

std::string header(const Answers& answers) {
  // Catalan labels; the accented letters are the Windows-1252 bytes a
  // spreadsheet on the users' machines expects (a-grave 0xE0, o-acute 0xF3).
  std::string h;
  h += "Par\xE0" "metres\tdensitat\t" + fixed1(answers.density) + "\tTn/m3" + kLineEnd;
  h += "geomec\xE0" "nics\tAngle\t" + fixed1(answers.friction_angle) + "\tgraus" + kLineEnd;
  h += "\tCohesi\xF3" "\t" + fixed1(answers.cohesion) + "\tTn/m2" + kLineEnd + kLineEnd;
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
    groups.ratios[g] = arrondir(A(phi_radians, kFactorsOfSafety[g]), 2);
    groups.rows[g] = chart_row(groups.ratios[g]);
    groups.cells[g].assign(cell, write_decimal_cell(cell, groups.ratios[g]));
    // The FS 1.0 group shows no trace.
    if (g > 0) groups.trace.append(cell, write_trace(cell, groups.ratios[g]));
  }
  return groups;
}

char* write_row_tail(char* out, const FrictionGroups& groups, float y) {
  // The cohesion ratio is the same in all three groups.
  char y_cell[kCellMax];
  char* y_end = write_decimal_cell(y_cell, y);
  for (int g = 0; g < 3; ++g) {
    out = std::copy(groups.cells[g].begin(), groups.cells[g].end(), out);
    out = std::copy(y_cell, y_end, out);
    out = write_angle_cell(out, slope_angle(groups.rows[g], y));
  }
  return std::copy_n(kLineEnd, 2, out);
}

}  // namespace telk
