// The result file's layout: the header, and the rows of ten cells (the
// height, then for each factor of safety the friction ratio, the cohesion
// ratio and the slope angle), every line ending in CR LF.
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

// The factors of safety of the three column groups, in the file's order.
inline constexpr float kFactorsOfSafety[] = {1.0f, 1.3f, 1.5f};

// The five header lines and the empty line after the third: the ground's
// lines (density, friction angle in degrees and cohesion, as typed, and
// the empty line), then the column titles.
std::string ground_lines(float density, float friction_angle, float cohesion);
std::string header(float density, float friction_angle, float cohesion);

// What every row of a run shares: for each group, the chart row and the
// cell of its rounded friction ratio, and the console trace of one row
// (the FS 1.3 and FS 1.5 groups).
struct FrictionGroups {
  ChartRow rows[3];
  std::string cells[3];
  std::string trace;
};
FrictionGroups friction_groups(float phi_radians);

// Room for everything of a row after its height cell: nine cells and the
// line end.
inline constexpr std::size_t kRowTailMax = 9 * kCellMax + 2;

// Everything of a row after its height cell, for the rounded cohesion
// ratio y: the three column groups and the line end.  The tail depends on
// y alone, which keeps its value over long runs of rows, so it is made
// again only when y changes; and when y's cell keeps its length and the
// slope angles stay, only the three cells of y are written again.
class RowTails {
 public:
  explicit RowTails(FrictionGroups groups) : groups_(std::move(groups)) {}

  const FrictionGroups& groups() const { return groups_; }
  // The slope angle of group g in the last tail made.
  float angle(int g) const { return std::bit_cast<float>(angle_bits_[g]); }

  // The tail for y.  The view points into this object and holds until the
  // next call, which may write over it.
  std::string_view after_height(float y) {
    if (size_ == 0 || std::bit_cast<std::uint32_t>(y) != y_bits_) remake(y);
    return {tail_, size_};
  }

 private:
  void remake(float y);

  const FrictionGroups groups_;
  char tail_[kRowTailMax] = {};
  std::size_t size_ = 0;
  std::uint32_t y_bits_ = 0;          // the ratio the tail was made for
  std::uint32_t angle_bits_[3] = {};  // and its slope angles
  std::size_t y_cell_at_[3] = {};     // where its cell stands in each group
  std::size_t y_cell_size_ = 0;
};

}  // namespace telk
