// The result file's layout: the header, and the rows of ten cells (the
// height, then for each factor of safety the friction ratio, the cohesion
// ratio and the slope angle), every line ending in CR LF.  It formats the
// numbers the sweep hands it and computes none.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "chart/chart.h"
#include "report/cells.h"

namespace telk {

// The file every run writes, in the working directory.
inline constexpr char kResultName[] = "TELK_result.xls";

// Every line of the file ends in CR LF, whatever the platform.
inline constexpr char kLineEnd[] = "\r\n";

// Where a row's cells stand, counted from 0 (each cell ends in a tab): the
// height, then for column group g its friction ratio, cohesion ratio and
// slope angle.  The header takes the first kHeaderLines lines.
inline constexpr int kHeaderLines = 6;
inline constexpr int kHeightCell = 0;
constexpr int friction_cell(int g) { return 1 + 3 * g; }
constexpr int cohesion_cell(int g) { return 2 + 3 * g; }
constexpr int angle_cell(int g) { return 3 + 3 * g; }

// A number as the files' labels write it: the shortest decimal that reads
// back as it, with a decimal comma ("1", "1,3", "9,81").
std::string comma_text(double v);

// A column as the console and the page name it: "FS 1.0", "FS 1.3".
std::string fs_title(double fs);

// The five header lines and the empty line after the third: the ground's
// lines (density, friction angle in degrees and cohesion, as typed, and
// the empty line), then the column titles.
std::string ground_lines(float density, float friction_angle, float cohesion);
// The column titles' two lines: `corner`, then each group's factor of
// safety over its three columns ("FS 1,3"); "H", then each group's
// `group_columns` (tab-led).
std::string title_lines(const char* corner, const char* group_columns);
std::string header(float density, float friction_angle, float cohesion);

// What every row of a run shares: each group's friction ratio cell, and
// the console trace of one row (the FS 1.3 and FS 1.5 groups).
struct FrictionCells {
  std::string cells[kGroups];
  std::string trace;
};
FrictionCells friction_cells(const float friction_ratios[kGroups]);

// Room for everything of a row after its height cell: nine cells and the
// line end.
inline constexpr std::size_t kRowTailMax = 9 * kCellMax + 2;

// Everything of a row after its height cell, for the rounded cohesion
// ratio y and the groups' slope angles: the three column groups and the
// line end.  A sweep asks for a tail only when y changes, which keeps its
// value over long runs of rows; and when y's cell keeps its length and the
// angles stay, only the three cells of y are written again.
class RowTails {
 public:
  explicit RowTails(FrictionCells cells) : cells_(std::move(cells)) {}

  // The tail for y and the angles.  The view points into this object and
  // holds until the next call, which may write over it.
  std::string_view make(float y, const float angles[kGroups]);

 private:
  const FrictionCells cells_;
  char tail_[kRowTailMax] = {};
  std::size_t size_ = 0;
  std::uint32_t angle_bits_[kGroups] = {};  // the angles of the last tail
  std::size_t y_cell_at_[kGroups] = {};     // where its y cell stands in each group
  std::size_t y_cell_size_ = 0;
};

}  // namespace telk
