// The result file's layout: the header, and the rows of ten cells (the
// height, then for each factor of safety the friction ratio, the cohesion
// ratio and the slope angle), every line ending in CR LF.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace telk {

// The five answers of a run, as typed.
struct Answers {
  float friction_angle;  // degrees
  float cohesion;        // Tn/m2
  float density;         // the unit weight, Tn/m3
  float height;          // m, of the whole slope
  float definition;      // m, the height step between rows
};

// Every line of the file ends in CR LF, whatever the platform.
inline constexpr char kLineEnd[] = "\r\n";

// The factors of safety of the three column groups, in the file's order.
inline constexpr float kFactorsOfSafety[] = {1.0f, 1.3f, 1.5f};

// The five header lines and the empty line after the third: density,
// friction angle in degrees and cohesion, then the column titles.
std::string header(const Answers& answers);

// What every row of a run shares: the rounded friction ratio of each
// group and its cell, and the console trace of one row (the FS 1.3 and
// FS 1.5 groups).
struct FrictionGroups {
  float ratios[3];
  std::string cells[3];
  std::string trace;
};
FrictionGroups friction_groups(float phi_radians);

// Everything of a row after its height cell, for the rounded cohesion
// ratio y: the three column groups and the line end.
std::string row_tail(const FrictionGroups& groups, float y);

// The row tail depends on the rounded cohesion ratio alone, which keeps
// its value over long runs of rows: it is made again only when it changes.
class RowTails {
 public:
  explicit RowTails(const FrictionGroups& groups) : groups_(groups) {}

  const std::string& after_height(float y) {
    const auto bits = std::bit_cast<std::uint32_t>(y);
    if (tail_.empty() || bits != tail_y_) {
      tail_ = row_tail(groups_, y);
      tail_y_ = bits;
    }
    return tail_;
  }

 private:
  const FrictionGroups& groups_;
  std::string tail_;
  std::uint32_t tail_y_ = 0;  // the bits of the ratio tail_ was made for
};

}  // namespace telk
