// The cubic through four values at whole steps, which the fast path reads
// its table by and a sweep's path reads its rows between nodes by, and
// the test by which a path takes an interval off it or halves it.
#pragma once

namespace telk {

// The weights at x of the cubic through the values at first, first + 1,
// first + 2 and first + 3 (whole numbers): exact zeros and one at a
// node, so that a node reads its value unchanged.
void cubic_weights(double x, double first, double w[4]);

// The cubic through v[0..3] at first .. first + 3, at x.
double cubic_at(const double v[4], double x, double first);

// Whether the cubics through v[0..3], v[1..4] and v[2..5], values at
// whole steps, agree within `tolerance` at a quarter, half and three
// quarters of the way from v[2] to v[3]: where they do, the interval is
// read off the middle one; where they do not (the values turn fast or
// kink there), it is halved.
bool cubics_agree(const double v[6], double tolerance);

}  // namespace telk
