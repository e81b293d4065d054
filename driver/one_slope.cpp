#include "driver/one_slope.h"

#include <cmath>

#include "driver/answers.h"
#include "report/cells.h"

namespace telk {

namespace {

std::string point(double x, double y) {
  std::string text(1, '(');
  text += fixed_text(x, 3);
  text += ", ";
  text += fixed_text(y, 3);
  text += ')';
  return text;
}

}  // namespace

bool parse_slope(const std::string_view numbers[5], Ground* ground, std::string* error) {
  double values[5];
  for (int i = 0; i < 5; ++i) {
    const std::optional<double> read = field_answer_double(numbers[i], kGroundInputs[i], error);
    if (!read) return false;
    values[i] = *read;
  }
  const Ground typed{values[0], values[1], values[2], values[3], values[4]};
  const char* why = nullptr;
  const int wrong = wrong_input(typed, &why);
  if (wrong < 0) {
    *ground = typed;
    return true;
  }
  *error = std::string(kGroundInputs[wrong]) + ": " + as_typed(numbers[wrong]) + " " + why;
  return false;
}

std::string describe_slope(const Bishop& bishop) {
  const SlipCircle& c = bishop.circle;
  // Cut, not rounded: the factor of safety shown is never above the one
  // found.
  std::string line = cut_text(bishop.fs, 3);
  if (!std::isfinite(bishop.fs)) return line;
  if (!std::isfinite(c.radius)) return line + " on a plane just under the face (no cohesion)";
  line += " centre " + point(c.centre_x, c.centre_y) + " radius " + fixed_text(c.radius, 3) +
          " enters " + point(c.entry_x, c.entry_y) + " leaves " + point(c.exit_x, c.exit_y);
  if (bishop.m_alpha_floored) line += " (m_alpha floored at the toe)";
  return line;
}

}  // namespace telk
