// Number formatting for the result file and the console trace.  Digits come
// from std::to_chars, which is exact and never looks at the locale, so the
// bytes are the same on every machine.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "chart/chart.h"
#include "report/report.h"

namespace telk {

namespace {

// "%.<precision>f" of v, exactly, halves to even.
char* fixed(char* out, double v, int precision) {
  return std::to_chars(out, out + kCellMax, v, std::chars_format::fixed,
                       precision).ptr;
}

std::string fixed1(float v) {
  char text[kCellMax];
  return std::string(text, fixed(text, v, 1));
}

}  // namespace

std::string header(float gamma, float phi_degrees, float c) {
  // Catalan labels; the accented letters are the Windows-1252 bytes a
  // spreadsheet on the users' machines expects (a-grave 0xE0, o-acute 0xF3).
  std::string h;
  h += "Par\xE0" "metres\tdensitat\t" + fixed1(gamma) + "\tTn/m3" + kLineEnd;
  h += "geomec\xE0" "nics\tAngle\t" + fixed1(phi_degrees) + "\tgraus" + kLineEnd;
  h += "\tCohesi\xF3" "\t" + fixed1(c) + "\tTn/m2" + kLineEnd + kLineEnd;
  h += std::string("ABAC 1\tFS 1\t\t\tFS 1,3\t\t\tFS 1,5") + kLineEnd;
  h += "H";
  for (int group = 0; group < 3; ++group)
    h += "\tTg (Phi)/FS=\tC'/(d*H*Tg Phi)\tangle";
  h += kLineEnd;
  return h;
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
    out = fixed(out, whole, 0);
  }
  const int digits = static_cast<int>(rounded);
  *out++ = ',';
  *out++ = static_cast<char>('0' + digits / 10);
  *out++ = static_cast<char>('0' + digits % 10);
  *out++ = '\t';
  return out;
}

char* write_angle_cell(char* out, float angle) {
  if (std::isfinite(angle)) out = fixed(out, angle, 0);
  *out++ = '\t';
  return out;
}

char* write_trace(char* out, float x) {
  out = fixed(out, x, 6);
  *out++ = ' ';
  *out++ = ' ';
  return fixed(out, decimale(x), 6);
}

}  // namespace telk
