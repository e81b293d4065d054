// The cubic through four values at whole steps, which the fast path reads
// its table by and a sweep's path reads its rows between nodes by, and
// the test by which a path takes an interval off it or halves it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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

// A piece of a path in whole ticks: over [from, to), the cubic through
// four values `spacing` ticks apart, the second at `from`; or, where the
// values leave no cubic to follow, `lower`.
struct CubicPiece {
  double from = 0, to = 0;
  double spacing = 1;
  double values[4] = {};
  bool cubic = false;
  double lower = 0;
  double at(double ticks) const {
    return cubic ? cubic_at(values, (ticks - from) / spacing, -1) : lower;
  }
};

// The halving rule: the piece about `ticks` of a path whose value at a
// tick `value` gives, read off the cubic through the four values around
// it, `widest` ticks apart, where it agrees with the cubics through the
// four before and the four after (cubics_agree) within `tolerance`, or a
// quarter of it where `follows(k, spacing)` says what the values stand
// for jumps there (a kink that all three cubics straddle and round off);
// else on halves, down to `least`, where the lower end's value is taken
// (the path falls as ticks rise), not a number where either end is none.
// Where `usable` takes neither end and they are the same (none, or a
// limit), it holds between them: the piece is that value.  Before the
// values at a spacing are asked for, `ahead(ticks, spacing)` is told the
// first of the six ticks, `spacing` apart, they are asked at, so that a
// caller may solve them at once.
template <typename Value, typename Usable, typename Follows, typename Ahead>
CubicPiece piece_about(double ticks, std::int64_t widest, std::int64_t least, Value value,
                       Usable usable, Follows follows, Ahead ahead, double tolerance) {
  for (std::int64_t spacing = widest;; spacing /= 2) {
    const auto k =
        static_cast<std::int64_t>(std::floor(ticks / static_cast<double>(spacing))) * spacing;
    ahead(k - 2 * spacing, spacing);
    CubicPiece p;
    p.from = static_cast<double>(k);
    p.to = static_cast<double>(k + spacing);
    p.spacing = static_cast<double>(spacing);
    bool usable_all = true;
    for (int i = 0; i < 4; ++i) {
      p.values[i] = value(k + (i - 1) * spacing);
      usable_all = usable_all && usable(p.values[i]);
    }
    const bool same_ends = p.values[1] == p.values[2] ||
                           (p.values[1] != p.values[1] && p.values[2] != p.values[2]);
    if (!usable_all && same_ends && !usable(p.values[1])) {
      p.lower = p.values[1];
      return p;
    }
    if (usable_all) {
      p.cubic = true;
      const double values[6] = {value(k - 2 * spacing), p.values[0], p.values[1],
                                p.values[2],            p.values[3], value(k + 3 * spacing)};
      if (usable(values[0]) && usable(values[5])) {
        const double needed = follows(k, spacing) ? tolerance : tolerance / 4;
        if (cubics_agree(values, needed)) return p;
      }
    }
    if (spacing <= least) {
      p.cubic = false;
      p.lower = std::min(p.values[1], p.values[2]);
      if (!(p.values[1] == p.values[1] && p.values[2] == p.values[2]))
        p.lower = std::numeric_limits<double>::quiet_NaN();
      return p;
    }
  }
}

}  // namespace telk
