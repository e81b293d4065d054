// The family of circles centred level with the crest, searched on its
// own.
#include "bishop/crest_level.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace telk {

namespace {

// The deepest circles centred level with the crest, entering it upright,
// by where they enter it, e.  On a base at the toe: through the toe while
// e <= 1 (the centre at x = (e^2 - 1) / 2e, left of the toe), then
// touching the base with radius 1 (the centre at x = e - 1), leaving the
// face above the toe.  On a base D below the toe, touching it, with radius
// 1 + D: leaving the ground in front of the toe, or the face.
SearchCircle crest_level_circle(const Section& section, double e) {
  const double l = section.crest_x, entry = along_crest(section, e);
  if (section.base == 0 && e <= 1) return {0, entry, 1};
  const double r = 1 + section.base, cx = e - r;
  const double front = cx - std::sqrt(r * r - 1);  // where it meets y = 0 on the left
  if (section.base > 0 && front < 0) return {front / reach_unit(section), entry, 1};
  const double b = l * cx + 1, a = l * l + 1, c = cx * cx - (r * r - 1);
  const double t = (b - std::sqrt(std::max(0.0, b * b - a * c))) / a;
  return {t, entry, 1};
}

}  // namespace

// A scan over the entry, then a golden section between the best point's
// neighbours.  Along these circles the factor of safety may have more than
// one minimum, and the least is often a sharp corner: at e = 1, the circle
// right above the toe.
SearchCircle best_crest_level_circle(const Section& section) {
  const double first = section.crest_x,
               last = first + kCrestReach * section.reach * reach_unit(section);
  auto fs = [&](double e) { return fs_of(section, crest_level_circle(section, e)); };
  constexpr int kScan = 96;
  const double step = (last - first) / kScan;
  int best = 0;
  double least = std::numeric_limits<double>::infinity();
  for (int k = 0; k <= kScan; ++k) {
    const double f = fs(first + k * step);
    if (f < least) least = f, best = k;
  }
  double a = first + std::max(best - 1, 0) * step, b = first + std::min(best + 1, kScan) * step;
  const double kGolden = (std::sqrt(5.0) - 1) / 2;
  double x1 = b - kGolden * (b - a), x2 = a + kGolden * (b - a);
  double f1 = fs(x1), f2 = fs(x2);
  for (int i = 0; i < 40; ++i) {  // to 1e-8 of the bracket
    if (f1 <= f2) {
      b = x2, x2 = x1, f2 = f1;
      x1 = b - kGolden * (b - a), f1 = fs(x1);
    } else {
      a = x1, x1 = x2, f1 = f2;
      x2 = a + kGolden * (b - a), f2 = fs(x2);
    }
  }
  return crest_level_circle(section, f1 <= f2 ? x1 : x2);
}

}  // namespace telk
