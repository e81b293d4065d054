#include "driver/sweep.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "chart/chart.h"
#include "report/report.h"
#include "report/result_file.h"

namespace telk {

namespace {

constexpr float kFactorsOfSafety[] = {1.0f, 1.3f, 1.5f};
// Rows and trace are gathered into blocks, so that the file and the console
// see a few large writes instead of one per cell.
constexpr std::size_t kFileBlock = std::size_t{1} << 20;
constexpr std::size_t kConsoleBlock = std::size_t{64} << 10;

// Everything of a row after its height cell: the three column groups for
// cohesion ratio y, and the line end.
std::string row_after_height(const float (&x)[3], const std::string (&x_cells)[3],
                             float y) {
  std::string row;
  for (int g = 0; g < 3; ++g) {
    char cells[2 * kCellMax];
    char* end = write_decimal_cell(cells, y);
    end = write_angle_cell(end, slope_angle(x[g], y));
    row += x_cells[g];
    row.append(cells, end);
  }
  return row + kLineEnd;
}

}  // namespace

float radians(float degrees) {
  return static_cast<float>(double{degrees} * double{3.1415927f} / 180.0);
}

int row_count(float height, float definition) {
  // Not rounded to float first: 1 / 0.1f is 9.99999985, which a float
  // would make 10.
  const double q = std::trunc(double{height} / double{definition});
  if (!(q >= INT_MIN && q <= INT_MAX)) return INT_MIN;
  return static_cast<int>(q);
}

float slope_angle(float x, float y) {
  float angle = std::numeric_limits<float>::quiet_NaN();
  switch (validite(x, y)) {
    case kDedans:
      angle = pente(x, y);
      break;
    case kAuDela:
      angle = 90.0f;
      break;
    default:
      break;  // no row for this key: no angle rather than a borrowed one
  }
  return angle > 90.0f ? 90.0f : angle;
}

bool sweep(float phi_radians, float c, float gamma, float height,
           float definition, ResultFile* file, std::FILE* console,
           std::string* error) {
  // The friction ratios, and so their cells and the console trace, are the
  // same on every row; only the height and the cohesion ratio change.
  float x[3];
  std::string x_cells[3], trace;
  for (int g = 0; g < 3; ++g) {
    char cell[kCellMax];
    x[g] = arrondir(A(phi_radians, kFactorsOfSafety[g]), 2);
    x_cells[g].assign(cell, write_decimal_cell(cell, x[g]));
    if (g > 0) trace.append(cell, write_trace(cell, x[g]));
  }

  // The console shows the same trace for every row: it is written as a
  // block of many rows' traces at once.
  const int rows_a_block =
      static_cast<int>(kConsoleBlock / std::max(trace.size(), std::size_t{1}));
  std::string traces;
  for (int k = 0; k < rows_a_block; ++k) traces += trace;
  int traced = 0;  // rows whose trace is not written yet

  // The rest of a row after its height cell depends on the cohesion ratio
  // alone, which keeps its two-decimal value over long runs of rows.
  std::string rest;
  std::uint32_t rest_y = 0;

  std::vector<char> block(kFileBlock);
  char* const block_end = block.data() + block.size();
  char* p = block.data();

  const int rows = row_count(height, definition);
  float h = 0.0f;
  for (int i = 0; i < rows; ++i) {
    // Heights are accumulated in float, as a person stepping up would:
    // ten steps of 0.1 give 1.0000001.
    h = static_cast<float>(double{h} + double{definition});
    const float y = arrondir(B(h, c, gamma, phi_radians), 2);
    if (rest.empty() || std::bit_cast<std::uint32_t>(y) != rest_y) {
      rest = row_after_height(x, x_cells, y);
      rest_y = std::bit_cast<std::uint32_t>(y);
    }
    if (static_cast<std::size_t>(block_end - p) < kCellMax + rest.size()) {
      if (!file->write(block.data(), static_cast<std::size_t>(p - block.data()), error))
        return false;
      p = block.data();
    }
    p = write_decimal_cell(p, h);
    p = std::copy(rest.begin(), rest.end(), p);

    // The trace is only a sign of progress: a console that has gone away
    // must not cost the result file, so its writes are not checked.
    if (++traced == rows_a_block) {
      std::fwrite(traces.data(), 1, traces.size(), console);
      traced = 0;
    }
  }
  std::fwrite(traces.data(), 1, traced * trace.size(), console);
  return file->write(block.data(), static_cast<std::size_t>(p - block.data()), error);
}

}  // namespace telk
