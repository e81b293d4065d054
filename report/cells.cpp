// Number formatting for the result file and the console trace.  Digits come
// from std::to_chars, which is exact and never looks at the locale, so the
// bytes are the same on every machine.
#include <charconv>
#include <cmath>
#include <cstdint>

#include "chart/chart.h"
#include "report/cells.h"

namespace telk {

char* write_fixed(char* out, double v, int decimals) {
  return std::to_chars(out, out + kCellMax, v, std::chars_format::fixed,
                       decimals).ptr;
}

char* write_decimal_cell(char* out, float v) {
  if (!std::isfinite(v)) {
    *out++ = '\t';
    return out;
  }
  // Whole part and hundredths of |v|; the sign is written on its own so
  // that -5.75 reads -5,75.  Hundredths that round up to 100 carry into the
  // whole part: 2.9999993 reads 3,00, not 2,100.
  const float magnitude = std::fabs(v);
  double whole = tronquer(magnitude, 0);
  const float hundredths = static_cast<float>(double{decimale(magnitude)} * 100.0);
  double rounded = std::nearbyint(double{hundredths});  // halves to even
  if (rounded >= 100.0) {
    whole += 1.0;
    rounded = 0.0;
  }
  *out++ = ' ';
  if (v < 0 && (whole != 0.0 || rounded != 0.0)) *out++ = '-';
  // Whole parts below 2^53 convert exactly, and integers format faster.
  if (whole < 9007199254740992.0) {
    out = std::to_chars(out, out + kCellMax, static_cast<std::uint64_t>(whole)).ptr;
  } else {
    out = write_fixed(out, whole, 0);
  }
  const int digits = static_cast<int>(rounded);
  *out++ = ',';
  *out++ = static_cast<char>('0' + digits / 10);
  *out++ = static_cast<char>('0' + digits % 10);
  *out++ = '\t';
  return out;
}

char* write_angle_cell(char* out, float angle) {
  if (std::isfinite(angle)) out = write_fixed(out, angle, 0);
  *out++ = '\t';
  return out;
}

char* write_trace(char* out, float x) {
  out = write_fixed(out, x, 6);
  *out++ = ' ';
  *out++ = ' ';
  return write_fixed(out, decimale(x), 6);
}

}  // namespace telk
