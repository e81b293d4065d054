// Number cells of the result file and the console trace.  Each writer puts
// its text at out, at most kCellMax bytes, and returns the end of what it
// wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace telk {

// Room enough for any one cell or trace entry, whatever the float.
inline constexpr std::size_t kCellMax = 128;

// v as "%.<decimals>f" would write it in the C locale, halves to even, with
// 0 to kMostFixedDecimals decimals (fewer or more are taken as the nearest
// of those).  A float's text always fits in kCellMax bytes.
inline constexpr int kMostFixedDecimals = 6;
char* write_fixed(char* out, float v, int decimals);

// The same as a string of any double, for the console's lines and the
// header: every digit of its whole part, however many (1e308 has 309).
std::string fixed_text(double v, int decimals);

// A height or ratio as " 12,50\t": integer part, comma, two hundredths.
// A value that is not finite leaves the cell empty ("\t").
char* write_decimal_cell(char* out, float v);

// write_decimal_cell for values whose whole parts repeat, as the heights
// of a sweep do: the digits of the whole part are kept from the cell
// before while they are the same.
class HeightCells {
 public:
  char* write(char* out, float v);

 private:
  std::uint32_t whole_ = 0;
  char digits_[16] = {};
  std::size_t digits_size_ = 0;
};

// A slope angle to the nearest degree, "86\t"; empty ("\t") when the group
// has no angle (not a number) or the angle is not finite.
char* write_angle_cell(char* out, float angle);

// v to 0 to 3 `decimals` with a decimal comma, "1,234\t", as "%.*f" would
// write it, but cut after the last decimal rather than rounded: the check's
// factors of safety and angles are never negative, and a value cut is
// never above the value, on the safe side.  From 1e15 on, in scientific
// form ("1,234e+20\t"), which keeps the cell short; empty ("\t") when v is
// not finite.  The check file writes six a row, so the common case skips
// the general conversion.
char* write_comma_cell(char* out, double v, int decimals);

// The same with a decimal point, for the console: "1.234".
std::string cut_text(double v, int decimals);

// The console trace of one column group: "%f  %f" of x and its fraction.
char* write_trace(char* out, float x);

}  // namespace telk
