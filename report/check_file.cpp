#include "report/check_file.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "report/layout.h"

namespace telk {

namespace {

// The lines on the water and the base, and the empty line after them;
// none for dry ground on a base at the toe.
std::string ground_given_lines(const CheckGround& g) {
  // Appended piece by piece: GCC 12 warns falsely on some sums of strings.
  std::string lines;
  const auto line = [&lines](std::initializer_list<std::string_view> cells) {
    for (const std::string_view cell : cells) lines += cell;
    lines += kLineEnd;
  };
  if (g.pore_ratio > 0) line({"Water\tru\t", comma_text(g.pore_ratio)});
  if (g.water_table_points > 0) {
    std::string xs, ys;
    for (int i = 0; i < g.water_table_points; ++i) {
      xs += '\t';
      xs += comma_text(g.water_table_x[i]);
      ys += '\t';
      ys += comma_text(g.water_table_y[i]);
    }
    line({"Water table\tx/H", xs});
    line({"\ty/H", ys});
    line({"\tgamma w\t", comma_text(g.water_unit_weight), "\tTn/m3"});
  }
  if (g.base_depth > 0) line({"Base\t", comma_text(g.base_depth), "\tm below the toe"});
  if (g.kh != 0 || g.kv != 0)
    line({"Earthquake\tkh\t", comma_text(g.kh), "\tkv upward\t", comma_text(g.kv)});
  // The crack's depth as given; at a row it is at most half the height.
  if (g.crack_depth > 0 || g.crack_rankine) {
    const std::string depth = g.crack_rankine ? "auto" : comma_text(g.crack_depth);
    const std::string fill = g.crack_fill > 0 ? comma_text(g.crack_fill) : "0";
    line({"Tension crack\t", depth, g.crack_rankine ? "\t2c/(gamma tan(45-phi/2))" : "\tm",
          "\tat most half the height\twater filled\t", fill});
  }
  if (g.load > 0) {
    const std::string width = std::isfinite(g.load_width) ? comma_text(g.load_width) : "crest";
    line({"Load\t", comma_text(g.load), "\tTn/m2\tfrom\t", comma_text(g.load_from),
          "\tm behind the edge\twidth\t", width, std::isfinite(g.load_width) ? "\tm" : ""});
  }
  if (!lines.empty()) lines += kLineEnd;
  return lines;
}

}  // namespace

int check_header_lines(const CheckGround& ground) {
  const std::string lines = ground_given_lines(ground);
  return kHeaderLines + static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
}

std::string check_header(float density, float friction_angle, float cohesion,
                         const CheckGround& ground) {
  return ground_lines(density, friction_angle, cohesion) + ground_given_lines(ground) +
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
           std::to_string(kShortPercent) + "% below " + fixed_text(target, 1) + ": not safe there";
  }
  return column + "Bishop's method gives the chart's angles a factor of safety of " +
         cut_text(lowest_fs, 3) + " or more (the least at " + fixed_text(height, 2) + " m)";
}

}  // namespace telk
