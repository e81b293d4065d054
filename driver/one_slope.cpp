#include "driver/one_slope.h"

#include <cmath>

#include "driver/answers.h"
#include "report/cells.h"

namespace telk {

namespace {

constexpr const char* kNames[5] = {"friction angle", "cohesion", "unit weight", "height",
                                   "slope angle"};

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
    float value = 0.0f;
    const std::optional<float> read = field_answer(numbers[i], kNames[i], error);
    if (!read) return false;
    value = *read;
    if (!std::isfinite(value)) {
      *error = std::string(kNames[i]) + ": " + std::string(numbers[i]) + " is not finite";
      return false;
    }
    values[i] = double{value};
  }
  const auto refuse = [&](int i, const char* why) {
    *error = std::string(kNames[i]) + ": " + std::string(numbers[i]) + " " + why;
    return false;
  };
  if (values[0] < 0) return refuse(0, "is below 0 degrees");
  if (values[0] >= 90) return refuse(0, "is 90 degrees or more: no slope can fail");
  if (values[1] < 0) return refuse(1, "is below 0");
  if (values[2] <= 0) return refuse(2, "is not above 0");
  if (values[3] <= 0) return refuse(3, "is not above 0");
  if (values[4] <= 0) return refuse(4, "is not above 0 degrees");
  if (values[4] > 90) return refuse(4, "is above 90 degrees: the face would overhang");
  *ground = Ground{values[0], values[1], values[2], values[3], values[4]};
  return true;
}

std::string describe_slope(const Bishop& bishop) {
  const SlipCircle& c = bishop.circle;
  std::string line = fixed_text(bishop.fs, 3);
  if (!std::isfinite(bishop.fs)) return line;
  line += " centre " + point(c.centre_x, c.centre_y) + " radius " + fixed_text(c.radius, 3) +
          " enters " + point(c.entry_x, c.entry_y) + " leaves " + point(c.exit_x, c.exit_y);
  if (bishop.m_alpha_floored) line += " (m_alpha floored at the toe)";
  return line;
}

}  // namespace telk
