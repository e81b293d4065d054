// The check file: each of the chart's angles checked by Bishop's simplified
// method.  One row per height of the sweep: the height, and for each factor
// of safety the chart's angle, Bishop's factor of safety of a slope of that
// height at that angle, and Bishop's steepest angle for that factor of
// safety.  Tabs, decimal commas and CR LF, as in the result file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "bishop/bishop.h"
#include "report/cells.h"

namespace telk {

inline constexpr char kCheckName[] = "TELK_check.xls";

// The factors of safety the check aims at, column group by group: the
// chart's three, as decimals (the chart's float 1.3 is 1.29999995).
inline constexpr double kCheckTargets[] = {1.0, 1.3, 1.5};

// The result file's ground lines, then the check's column titles.
std::string check_header(float density, float friction_angle, float cohesion);

// Room for a row after its height cell: nine cells and the line end.
inline constexpr std::size_t kCheckTailMax = 9 * kCellMax + 2;

// The lowest of a column's Bishop factors of safety, and the height of its
// first row; +infinity where the column has no angle checked.
struct Lowest {
  double fs = std::numeric_limits<double>::infinity();
  float height = 0.0f;
};

class CheckRows {
 public:
  // The ground as typed.  Where it has no Bishop answer (a strength the
  // solver does not take: takes_strength) every Bishop cell is empty.
  CheckRows(float friction_angle, float cohesion, float density);

  // Writes the row's cells after its height cell at out, for the height h
  // and the chart's angles of the three groups (not a number where the
  // chart gives none), and returns their end: at most kCheckTailMax bytes.
  char* write_after_height(char* out, float h, const float chart_angles[3]);

  const Lowest& lowest(int group) const { return lowest_[group]; }

 private:
  void remake(double ratio, float h, const float chart_angles[3]);

  double tan_phi_;  // not a number where the ground has no Bishop answer
  double cohesion_, density_;
  SteepestCursor cursors_[3];
  Lowest lowest_[3];
  // The cells depend on the kept ratio and the chart's angles alone, which
  // keep their values over runs of rows: they are made again only when one
  // of them changes.
  char tail_[kCheckTailMax] = {};
  std::size_t size_ = 0;
  std::uint64_t ratio_bits_ = 0;
  std::uint32_t angle_bits_[3] = {};
};

// The cohesion ratio c / (gamma h) that Bishop's answers are read at,
// cut to 14 significant bits: at most a part in 16384 less, as if the
// height were 0.6 mm more in 10 m, on the safe side.  Along a long sweep
// it keeps its value over many rows.  Zero, negative and not finite ratios
// are kept as they are.
double kept_cohesion_ratio(double ratio);

// What the check found in column group g, in one line: the lowest Bishop
// factor of safety among its angles and the height where it falls, saying
// plainly when it is more than 2% below the column's own factor of safety.
std::string lowest_line(const CheckRows& rows, int g);

// Whether that lowest factor of safety is more than 2% below the column's
// own: the case lowest_line() calls not safe.
bool falls_short(const CheckRows& rows, int g);

// The angle of a slope built as the result file shows it: the chart's
// angle to the nearest whole degree, halves to even.
double built_angle(float chart_angle);

}  // namespace telk
