// The cell, angle and trace rules written plainly with snprintf, to hold
// the fast writers to: what write_decimal_cell, write_angle_cell and
// write_trace give for one value, one after the other.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "report/cells.h"

inline std::string plain_cells(float v) {
  char out[3 * telk::kCellMax] = "\t";
  if (std::isfinite(v)) {
    const float magnitude = std::fabs(v);
    double whole = std::trunc(magnitude);
    const float hundredths = static_cast<float>((magnitude - whole) * 100.0);
    char text[8];
    std::snprintf(text, sizeof text, "%.0f", double{hundredths});
    int digits = std::atoi(text);
    if (digits == 100) {
      whole += 1;
      digits = 0;
    }
    std::snprintf(out, sizeof out, " %s%.0f,%02d\t",
                  v < 0 && (whole != 0 || digits != 0) ? "-" : "", whole, digits);
  }
  std::size_t n = std::strlen(out);
  n += std::isfinite(v) ? std::snprintf(out + n, sizeof out - n, "%.0f", double{v}) : 0;
  std::snprintf(out + n, sizeof out - n, "\t%f  %f", double{v},
                double{v} - std::trunc(double{v}));
  return out;
}
