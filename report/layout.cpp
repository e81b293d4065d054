#include "report/layout.h"

#include "chart/chart.h"
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
    groups.cells[g].assign(cell, write_decimal_cell(cell, groups.ratios[g]));
    // The FS 1.0 group shows no trace.
    if (g > 0) groups.trace.append(cell, write_trace(cell, groups.ratios[g]));
  }
  return groups;
}

std::string row_tail(const FrictionGroups& groups, float y) {
  std::string tail;
  for (int g = 0; g < 3; ++g) {
    char cells[2 * kCellMax];
    char* end = write_decimal_cell(cells, y);
    end = write_angle_cell(end, slope_angle(groups.ratios[g], y));
    tail += groups.cells[g];
    tail.append(cells, end);
  }
  return tail + kLineEnd;
}

}  // namespace telk
