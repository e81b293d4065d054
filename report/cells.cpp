// Number formatting for the result file and the console trace.  Digits come
// from std::to_chars, which is exact and never looks at the locale, so the
// bytes are the same on every machine.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "chart/chart.h"
#include "report/cells.h"

namespace telk {

namespace {

// The most whole digits of a double in fixed form: DBL_MAX has 309.
constexpr int kMostWholeDigits = 309;

}  // namespace

char* write_fixed(char* out, float v, int decimals) {
  // A sign, a float's 39 whole digits at most, the point and the
  // decimals: within kCellMax, so the conversion cannot run out of room.
  static_assert(1 + 39 + 1 + kMostFixedDecimals <= kCellMax);
  const auto [end, ec] = std::to_chars(out, out + kCellMax, v, std::chars_format::fixed,
                                       std::clamp(decimals, 0, kMostFixedDecimals));
  return ec == std::errc{} ? end : out;
}

std::string fixed_text(double v, int decimals) {
  decimals = std::clamp(decimals, 0, kMostFixedDecimals);
  // Room for any double: a sign, its whole digits, the point, the decimals.
  std::string text(1 + kMostWholeDigits + 1 + static_cast<std::size_t>(decimals), '\0');
  const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), v,
                                       std::chars_format::fixed, decimals);
  text.resize(ec == std::errc{} ? static_cast<std::size_t>(end - text.data()) : 0);
  return text;
}

namespace {

// v as "%.<decimals>f" would write its exact value, the digits after the
// last decimal dropped: cut toward zero, never rounded up.  Doubles from
// 2^32 on hold at most 20 binary places, so 24 decimals write them
// exactly; from 1e15 on they are whole, at most 309 digits, written
// exactly in scientific form and cut there ("1.234e+20").  The common
// values are cut by scaled_down().
char* write_exact_cut(char* out, double v, int decimals) {
  char text[400];
  const bool large = std::fabs(v) >= 1e15;
  // At most a sign, 15 whole digits, the point and 24 decimals, or a sign,
  // "d.", 330 digits and "e+308": within the buffer, so the conversion
  // cannot run out of room.
  static_assert(1 + 15 + 1 + 24 <= sizeof text && 1 + 2 + 330 + 5 <= sizeof text);
  char* end = std::to_chars(text, text + sizeof text, v,
                            large ? std::chars_format::scientific : std::chars_format::fixed,
                            large ? 330 : 24)
                  .ptr;
  char* point = std::find(text, end, '.');
  char* cut = point + (decimals > 0 ? 1 + decimals : 0);
  out = std::copy(text, cut, out);
  if (large) out = std::copy(std::find(cut, end, 'e'), end, out);
  return out;
}

// floor(v * scale) for 0 <= v < 2^32 and scale up to 1000, exactly: v is
// m 2^-shift with a whole m below 2^53, read off its bits, so m * scale
// stays below 2^63.
std::uint64_t scaled_down(double v, std::uint32_t scale) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  const auto biased = static_cast<int>(bits >> 52);  // the sign is 0
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  // Normal numbers carry the leading 1; subnormal ones have the least
  // exponent.
  const std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  const int shift = biased == 0 ? 1074 : 1075 - biased;  // above 20 here
  return shift >= 64 ? 0 : (m * scale) >> shift;
}

}  // namespace

std::string cut_text(double v, int decimals) {
  char text[kCellMax];
  char* end = write_comma_cell(text, v, decimals) - 1;  // without its tab
  std::replace(text, end, ',', '.');
  return std::string(text, end);
}

char* write_comma_cell(char* out, double v, int decimals) {
  if (!std::isfinite(v)) {
    *out++ = '\t';
    return out;
  }
  if (std::fabs(v) < 0x1p32) {
    if (std::signbit(v)) *out++ = '-';
    constexpr std::uint32_t kScales[] = {1, 10, 100, 1000};
    std::uint64_t left = scaled_down(std::fabs(v), kScales[decimals]);
    // From the last digit: the decimals, the comma, then the whole part's
    // digits, at least one.
    char digits[24];
    char* first = digits + sizeof digits;
    for (int k = 0; k < decimals; ++k, left /= 10) *--first = static_cast<char>('0' + left % 10);
    if (decimals > 0) *--first = ',';
    do {
      *--first = static_cast<char>('0' + left % 10);
      left /= 10;
    } while (left != 0);
    out = std::copy(first, digits + sizeof digits, out);
  } else {
    char* const start = out;
    out = write_exact_cut(out, v, decimals);
    std::replace(start, out, '.', ',');
  }
  *out++ = '\t';
  return out;
}

namespace {

// What a cell shows of |v| below 2^24: the whole part and the hundredths.
// There the fraction is exact in float, and so are the hundredths before
// they are rounded to float, then to a whole number, halves to even.
// Hundredths that round up to 100 carry into the whole part: 2.9999993
// reads 3,00, not 2,100.
struct Shown {
  std::uint32_t whole;
  std::uint32_t hundredths;
};
Shown shown(float magnitude) {
  auto whole = static_cast<std::uint32_t>(magnitude);
  const float fraction = magnitude - static_cast<float>(whole);
  const float hundredths = static_cast<float>(double{fraction} * 100.0);
  const auto rounded = static_cast<std::uint32_t>(std::nearbyint(hundredths));
  if (rounded == 100) return {whole + 1, 0};
  return {whole, rounded};
}

// The sign is written on its own, so that -5.75 reads -5,75; a value that
// shows as zero has none.
char* write_sign(char* out, float v, Shown shown) {
  *out++ = ' ';
  if (v < 0 && (shown.whole != 0 || shown.hundredths != 0)) *out++ = '-';
  return out;
}

char* write_hundredths(char* out, std::uint32_t hundredths) {
  *out++ = ',';
  *out++ = static_cast<char>('0' + hundredths / 10);
  *out++ = static_cast<char>('0' + hundredths % 10);
  *out++ = '\t';
  return out;
}

}  // namespace

char* write_decimal_cell(char* out, float v) {
  if (!std::isfinite(v)) {
    *out++ = '\t';
    return out;
  }
  const float magnitude = std::fabs(v);
  if (magnitude >= 0x1p24f) {  // every float from 2^24 on is whole
    out = write_sign(out, v, {1, 0});
    out = magnitude < 0x1p64f
              ? std::to_chars(out, out + kCellMax, static_cast<std::uint64_t>(magnitude)).ptr
              : write_fixed(out, magnitude, 0);
    return write_hundredths(out, 0);
  }
  const Shown parts = shown(magnitude);
  out = write_sign(out, v, parts);
  out = std::to_chars(out, out + kCellMax, parts.whole).ptr;
  return write_hundredths(out, parts.hundredths);
}

char* HeightCells::write(char* out, float v) {
  const float magnitude = std::fabs(v);
  if (!(magnitude < 0x1p24f)) return write_decimal_cell(out, v);
  const Shown parts = shown(magnitude);
  if (digits_size_ == 0 || parts.whole != whole_) {
    whole_ = parts.whole;
    digits_size_ = static_cast<std::size_t>(
        std::to_chars(digits_, digits_ + sizeof digits_, whole_).ptr - digits_);
  }
  out = write_sign(out, v, parts);
  out = std::copy_n(digits_, digits_size_, out);
  return write_hundredths(out, parts.hundredths);
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
