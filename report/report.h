// The result file: its header and its cells, laid out for a spreadsheet
// that reads tabs between cells and decimal commas.
#pragma once

#include <cstddef>
#include <string>

namespace telk {

// The file every run writes, in the working directory.
inline constexpr char kResultName[] = "TELK_result.xls";

// Every line of the file ends in CR LF, whatever the platform.
inline constexpr char kLineEnd[] = "\r\n";

// Room enough for any one cell or trace entry, whatever the float.
inline constexpr std::size_t kCellMax = 128;

// The five header lines and the empty line after the third, with the
// answers as typed (friction angle in degrees).
std::string header(float gamma, float phi_degrees, float c);

// Each writer puts its text at out, at most kCellMax bytes, and returns
// the end of what it wrote.

// A height or ratio as " 12,50\t": integer part, comma, two hundredths.
// A value that is not finite leaves the cell empty ("\t").
char* write_decimal_cell(char* out, float v);

// A slope angle to the nearest degree, "86\t"; empty ("\t") when the group
// has no angle (not a number) or the angle is not finite.
char* write_angle_cell(char* out, float angle);

// The console trace of one column group: "%f  %f" of x and its fraction.
char* write_trace(char* out, float x);

}  // namespace telk
