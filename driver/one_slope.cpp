#include "driver/one_slope.h"

#include <cmath>

#include "driver/answers.h"
#include "report/cells.h"

namespace telk {

namespace {

// A length to three decimals; a rounding of zero that would read -0.000
// reads 0.000.
std::string length(double v) {
  std::string text = fixed_text(v, 3);
  if (text == "-0.000") text.erase(0, 1);
  return text;
}

// Appended piece by piece: GCC 12 warns falsely on some sums of strings.
std::string point(double x, double y) {
  std::string text(1, '(');
  text += length(x);
  text += ", ";
  text += length(y);
  text += ')';
  return text;
}

}  // namespace

bool parse_slope(const std::string_view numbers[5], GroundOptions options, Ground* ground,
                 std::string* error) {
  double values[5];
  for (int i = 0; i < 5; ++i) {
    const std::optional<double> read = field_answer_double(numbers[i], kGroundInputs[i], error);
    if (!read) return false;
    values[i] = *read;
  }
  OptionError water_error;
  if (!settle_water(values[kUnitWeight], &options, &water_error)) {
    *error = water_error.line();
    return false;
  }
  const Ground typed =
      with_options({values[0], values[1], values[2], values[3], values[4]}, options);
  const char* why = nullptr;
  const int wrong = wrong_input(typed, &why);
  if (wrong < 0) {
    *ground = typed;
    return true;
  }
  // The options' own values are taken already: what is left is the ground
  // they meet (a base too deep for the height).
  const char* option = option_of(static_cast<GroundInput>(wrong));
  *error = option != nullptr ? std::string(option) + ": " + why
                             : std::string(kGroundInputs[wrong]) + ": " +
                                   as_typed(numbers[wrong]) + " " + why;
  return false;
}

std::string no_slip_circle(const double circle[3], const SlipAnswer& given) {
  std::string line = "the circle of centre " + point(circle[0], circle[1]) + " and radius " +
                     length(circle[2]);
  if (given.unsolved)
    return line + " has no factor of safety: Bishop's equation has no root on it (the method"
                  " has no solution there)";
  return line + " is no slip circle of the slope: it does not cut the ground twice";
}

std::string no_factor_of_safety(double fs) {
  if (std::isfinite(fs)) return {};
  return std::isinf(fs) ? "the factor of safety is infinite: nothing, or next to nothing, drives"
                          " the slip"
                        : "the factor of safety is not a number";
}

std::string describe_slope(const SlipAnswer& bishop) {
  const Arc& c = bishop.arc;
  // Cut, not rounded: the factor of safety shown is never above the one
  // found.
  std::string line = cut_text(bishop.fs, 3);
  if (bishop.sliding) {
    line += " sliding along the base (ever longer slips along it tend to this)";
  } else if (!std::isfinite(c.radius)) {
    line += " on a plane just under the face (no cohesion)";
  } else {
    line += " centre " + point(c.centre_x, c.centre_y) + " radius " + length(c.radius) +
            " enters " + point(c.entry_x, c.entry_y + c.crack) + " leaves " +
            point(c.exit_x, c.exit_y);
    // Where a crack cuts it, the slip enters at the crack's top.
    if (c.crack > 0)
      line += " crack foot " + point(c.entry_x, c.entry_y) + " depth " + length(c.crack);
    if (bishop.floored) line += " (m_alpha floored at the toe)";
  }
  if (bishop.frictionless) line += " (phi = 0 governs: with friction Bishop's method reads lower)";
  if (bishop.unsolved) line += " (circles on which Bishop's equation has no root passed over)";
  return line;
}

std::string describe_yield(const Yield& yield, std::string* why) {
  if (!(*why = no_factor_of_safety(yield.at.fs)).empty()) {
    *why += yield.beyond ? " at k_h 1" : yield.coefficient == 0 ? " without the load" : "";
    return {};
  }
  const std::string slope = describe_slope(yield.at);
  // Cut, as the factor of safety is: a smaller load is the safe side.
  std::string line = cut_text(yield.coefficient, 3);
  if (yield.beyond) line += " or more";
  line += slope.substr(std::min(slope.find(' '), slope.size()));
  if (yield.coefficient == 0 || yield.beyond) {
    line += " (the factor of safety is ";
    line += cut_text(yield.at.fs, 3);
    line += yield.beyond ? " at k_h 1)" : " without the load: 1 or less)";
  }
  return line;
}

}  // namespace telk
