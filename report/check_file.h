// The check file: each of the chart's angles checked by Bishop's simplified
// method.  One row per height of the sweep: the height, and for each factor
// of safety the chart's angle, Bishop's factor of safety of a slope of that
// height at that angle, and Bishop's steepest angle for that factor of
// safety.  Tabs, decimal commas and CR LF, as in the result file.  It
// formats the numbers the check hands it and computes none.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "chart/chart.h"
#include "report/cells.h"

namespace telk {

inline constexpr char kCheckName[] = "TELK_check.xls";

// Where a row's cells stand, counted from 0: the height (as in the result
// file), then for column group g the chart's angle, Bishop's factor of
// safety of it and Bishop's steepest angle.  The header takes the first
// kHeaderLines lines, as the result file's does.
constexpr int check_angle_cell(int g) { return 1 + 3 * g; }
constexpr int check_fs_cell(int g) { return 2 + 3 * g; }
constexpr int check_steepest_cell(int g) { return 3 + 3 * g; }

// What the check was told of the ground beyond the chart's numbers: water
// (a pore-pressure ratio, or a water table through points in multiples of
// the height, with its unit weight in the density's units) and the depth
// of a firm base below the toe; and an earthquake's pseudo-static load,
// its horizontal and vertical seismic coefficients; a tension crack, its
// depth as given (or Rankine's) and the share of it filled with water; a
// load on the crest, its pressure, where it starts behind the crest's edge
// and its width (+infinity for the whole crest).
struct CheckGround {
  double pore_ratio = 0;
  int water_table_points = 0;
  const double* water_table_x = nullptr;
  const double* water_table_y = nullptr;
  double water_unit_weight = 0;
  double base_depth = 0;
  double kh = 0, kv = 0;
  double crack_depth = 0;
  bool crack_rankine = false;
  double crack_fill = 0;
  double load = 0, load_from = 0, load_width = 0;
};

// The result file's ground lines; then, where the check was told of water,
// a deeper base, an earthquake's load, a tension crack or a load on the
// crest, a line for each and an empty line; then the check's column
// titles.
std::string check_header(float density, float friction_angle, float cohesion,
                         const CheckGround& ground = {});

// The lines of the check file's header.
int check_header_lines(const CheckGround& ground);

// What a check row shows of one column group: the chart's angle (not a
// number where the chart gives none), Bishop's factor of safety of the
// slope built at it and Bishop's steepest angle (not a number where there
// is none).
struct CheckCells {
  float chart_angle;
  double fs;
  double steepest;
};

// Room for a row after its height cell: nine cells and the line end.
inline constexpr std::size_t kCheckTailMax = 9 * kCellMax + 2;

// Writes a row's cells after its height cell at out and returns their end,
// at most kCheckTailMax bytes on; `steepest`, when given, receives the text
// of each group's steepest angle cell, which points into what was written.
char* write_check_tail(char* out, const CheckCells cells[kGroups],
                       std::string_view* steepest = nullptr);

// A column whose lowest Bishop factor of safety is more than this many
// percent below its target is not safe there.
inline constexpr int kShortPercent = 2;

// What the check found in the column of factor of safety `target`, in one
// line: the lowest Bishop factor of safety among its angles (+infinity for
// none) and the height where it falls, saying plainly "not safe there"
// when `short_of_target` (more than kShortPercent below it).
std::string lowest_line(double target, double lowest_fs, float height, bool short_of_target);

// The angle of a slope built as the result file shows it: the chart's
// angle to the nearest whole degree, halves to even.
double built_angle(float chart_angle);

}  // namespace telk
