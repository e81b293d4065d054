// telk --fs PHI C GAMMA H BETA: the factor of safety of one slope by
// Bishop's simplified method, and its critical circle.
#pragma once

#include <string>
#include <string_view>

#include "bishop/bishop.h"
#include "driver/options.h"

namespace telk {

// The five numbers in the order PHI C GAMMA H BETA, read in double
// precision, and the ground the options add (water, a deeper base, a
// load).  False, with the line to show (what was typed quoted, as the
// dialogue quotes it), when one is not a number, or the solver does not take it
// (wrong_input: H, GAMMA or BETA not above 0, BETA above 90, C or PHI below
// 0, PHI of 90 or more, or a value that is not finite; a base too deep for
// the height), or a water table's unit weight is not known (settle_water).
bool parse_slope(const std::string_view numbers[5], GroundOptions options, Ground* ground,
                 std::string* error);

// How far a given circle may pass from the toe and still be taken to
// leave there: the rounding of the three decimals --fs writes a circle
// with, a distance (half a thousandth in each of the centre's two numbers
// and the radius: 0.0005 (1 + sqrt 2)), so that the circle it wrote, typed
// back, is the slip it found.
inline constexpr double kCircleRounding = 0.0013;

// Why the circle given as centre x, centre y, radius has no factor of
// safety (given_circle's answer): it is no slip circle of the slope, or
// Bishop's equation has no root on it; with its numbers.
std::string no_slip_circle(const double circle[3], const SlipAnswer& given);

// Why the factor of safety `fs` is no number to print, in words that
// follow "telk: " or an option's name; empty when it is one.  An infinite
// one has nothing, or next to nothing, driving its slip: the weight of a
// circle's soil turns it into the slope (a circle that cuts only the
// crest), or the strength is more times what drives it than a double
// holds.
std::string no_factor_of_safety(double fs);

// The line --fs prints: the factor of safety cut to three decimals, then
// the critical circle's centre and radius and where it enters and leaves
// the ground, in the input's length unit, origin at the toe, x into the
// slope and y up; without cohesion, the plane just under the face; where
// ever longer slips along the base tend to a lower factor of safety than
// any circle's, that; and where the search passed over circles on which
// Bishop's equation has no root, a note that says so.  The factor of
// safety must be a number (no_factor_of_safety empty).
std::string describe_slope(const SlipAnswer& bishop);

// The line --fs --yield prints: the yield coefficient cut to three
// decimals, then the critical circle at it as describe_slope gives it; for
// a slope that fails without the load, 0.000 and its factor of safety; for
// one that stands a whole g, "1.000 or more" and its factor of safety there.
// Empty, with why in *why, when that factor of safety is no number.
std::string describe_yield(const Yield& yield, std::string* why);

}  // namespace telk
