// Number formatting for the result file and the console trace.  Digits come
// from std::to_chars, which is exact and never looks at the locale, so the
// bytes are the same on every machine.
#include <algorithm>
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
  // that -5.75 reads -5,75.
  const float magnitude = std::fabs(v);
  *out++ = ' ';
  if (magnitude >= 0x1p24f) {  // every float from 2^24 on is whole
    if (v < 0) *out++ = '-';
    out = magnitude < 0x1p64f
              ? std::to_chars(out, out + kCellMax, static_cast<std::uint64_t>(magnitude)).ptr
              : write_fixed(out, magnitude, 0);
    for (const char ch : {',', '0', '0', '\t'}) *out++ = ch;
    return out;
  }
  // Below it the fraction is exact in float, and so are the hundredths
  // before they are rounded to float.
  auto whole = static_cast<std::uint32_t>(magnitude);
  const float fraction = magnitude - static_cast<float>(whole);
  const float hundredths = static_cast<float>(double{fraction} * 100.0);
  auto rounded = static_cast<std::uint32_t>(std::nearbyint(hundredths));  // halves to even
  // Hundredths that round up to 100 carry into the whole part: 2.9999993
  // reads 3,00, not 2,100.
  if (rounded == 100) {
    ++whole;
    rounded = 0;
  }
  if (v < 0 && (whole != 0 || rounded != 0)) *out++ = '-';
  out = std::to_chars(out, out + kCellMax, whole).ptr;
  *out++ = ',';
  *out++ = static_cast<char>('0' + rounded / 10);
  *out++ = static_cast<char>('0' + rounded % 10);
  *out++ = '\t';
  return out;
}

char* write_angle_cell(char* out, float angle) {
  if (std::fabs(angle) < 0x1p31f) {
    // Whole degrees, halves to even as "%.0f" has them; an angle just
    // below zero reads -0.
    const float degrees = std::nearbyint(angle);
    if (std::signbit(degrees)) *out++ = '-';
    out = std::to_chars(out, out + kCellMax, static_cast<std::uint32_t>(std::fabs(degrees))).ptr;
  } else if (std::isfinite(angle)) {
    out = write_fixed(out, angle, 0);
  }
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
