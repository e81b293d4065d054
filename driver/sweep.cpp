#include "driver/sweep.h"

#include <climits>
#include <cmath>
#include <limits>

#include "chart/chart.h"
#include "report/report.h"
#include "report/result_file.h"

namespace telk {

namespace {

constexpr float kFactorsOfSafety[] = {1.0f, 1.3f, 1.5f};

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
  const int rows = row_count(height, definition);
  float h = 0.0f;
  for (int i = 0; i < rows; ++i) {
    // Heights are accumulated in float, as a person stepping up would:
    // ten steps of 0.1 give 1.0000001.
    h = static_cast<float>(double{h} + double{definition});
    char line[16 * kCellMax];
    char* end = write_decimal_cell(line, h);
    char trace[2 * kCellMax];
    char* trace_end = trace;
    for (const float fs : kFactorsOfSafety) {
      const float x = arrondir(A(phi_radians, fs), 2);
      const float y = arrondir(B(h, c, gamma, phi_radians), 2);
      end = write_decimal_cell(end, x);
      if (fs != 1.0f) trace_end = write_trace(trace_end, x);
      end = write_decimal_cell(end, y);
      end = write_angle_cell(end, slope_angle(x, y));
    }
    for (const char* p = kLineEnd; *p != '\0'; ++p) *end++ = *p;
    if (!file->write(line, static_cast<std::size_t>(end - line), error))
      return false;
    // The trace is only a sign of progress: a console that has gone away
    // must not cost the result file.
    std::fwrite(trace, 1, static_cast<std::size_t>(trace_end - trace), console);
  }
  return true;
}

}  // namespace telk
