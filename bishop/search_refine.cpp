// The refinements of a search circle: Nelder-Mead's simplex, and a
// compass search with pattern moves for the ranges' edges.
#include "bishop/search_refine.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

namespace telk {

namespace {

// A circle's three numbers as bits: a circle tried already is the same
// bits, not merely equal numbers (0 and -0 are equal).
using Bits = std::array<std::uint64_t, 3>;
static_assert(sizeof(SearchCircle) == sizeof(Bits));

// The circles a compass keeps with their values.
constexpr std::size_t kCompassKept = 16;

}  // namespace

// Nelder-Mead over the three numbers of a circle, clamped to their ranges,
// from `start` with steps `step`, until the simplex's values and its
// corners agree to the precision's, or it stalls (kStallGain), or it has
// taken kMostCircles.
SearchCircle nelder_mead(const Section& section, const SearchCircle& start, double step,
                         const Precision& precision) {
  const int slices = precision.slices;
  std::array<SearchCircle, 4> x{start, start, start, start};
  std::array<double, 4> f{};
  for (int i = 0; i < 3; ++i) x[i + 1].*kSearchNumbers[i] += step;
  for (int i = 0; i < 4; ++i) f[i] = fs_of(section, x[i], slices);
  double last_best = std::numeric_limits<double>::infinity();
  for (int evaluations = 4, check = kStallCheck; evaluations < kMostCircles;) {
    std::array<int, 4> order{0, 1, 2, 3};
    std::sort(order.begin(), order.end(), [&](int a, int b) { return f[a] < f[b]; });
    const int best = order[0], worst = order[3], second = order[2];
    if (evaluations >= check) {
      if (!(last_best - f[best] > kStallGain * f[best])) break;
      last_best = f[best], check += kStallCheck;
    }
    double size = 0;
    for (int i = 0; i < 4; ++i) {
      for (const auto n : kSearchNumbers) size = std::max(size, std::abs(x[i].*n - x[best].*n));
    }
    if (f[worst] - f[best] <= precision.values * std::abs(f[best]) && size < precision.corners)
      break;
    SearchCircle centroid{};
    for (int i = 0; i < 4; ++i) {
      if (i == worst) continue;
      for (const auto n : kSearchNumbers) centroid.*n += x[i].*n / 3;
    }
    auto toward = [&](double t) {
      SearchCircle p{};
      for (const auto n : kSearchNumbers) p.*n = centroid.*n + t * (x[worst].*n - centroid.*n);
      return p;
    };
    const SearchCircle reflected = toward(-1);
    const double fr = fs_of(section, reflected, slices);
    ++evaluations;
    if (fr < f[best]) {
      const SearchCircle expanded = toward(-2);
      const double fe = fs_of(section, expanded, slices);
      ++evaluations;
      if (fe < fr) x[worst] = expanded, f[worst] = fe;
      else x[worst] = reflected, f[worst] = fr;
    } else if (fr < f[second]) {
      x[worst] = reflected, f[worst] = fr;
    } else {
      const SearchCircle contracted = toward(fr < f[worst] ? -0.5 : 0.5);
      const double fc = fs_of(section, contracted, slices);
      ++evaluations;
      if (fc < std::min(fr, f[worst])) {
        x[worst] = contracted, f[worst] = fc;
      } else {
        for (int i = 0; i < 4; ++i) {
          if (i == best) continue;
          for (const auto n : kSearchNumbers) x[i].*n = x[best].*n + (x[i].*n - x[best].*n) / 2;
          f[i] = fs_of(section, x[i], slices);
          ++evaluations;
        }
      }
    }
  }
  return clamped(section, x[std::min_element(f.begin(), f.end()) - f.begin()]);
}

// Compass search: each number in turn a step up and down, kept when
// better; the steps halve when none is, down to the precision's.  Sure on the ranges'
// edges, where a simplex stalls (the toe circles of a vertical cut enter at
// their centre's height, the deepest admissible).  After a round that moved
// it tries the same move again from there (Hooke and Jeeves' pattern move),
// each time twice as far, so that it follows a curved valley across the
// steps rather than crawling along it step by step: the valley of a steep,
// nearly cohesionless slope runs in depth over 0.4 while its entry moves
// by 3e-4, which takes some 70 000 circles a start by steps alone.
SearchCircle compass(const Section& section, SearchCircle x, double step,
                     const Precision& precision, bool from_near) {
  x = clamped(section, x);
  // The circles tried last and their factors of safety: after a move the
  // step back lands where the compass came from, and the steps about a
  // pattern move's end on circles tried about its start, bit for bit
  // (some 15% of a compass's circles), which are not solved again.
  std::array<std::pair<SearchCircle, double>, kCompassKept> tried{};
  std::size_t kept = 0;
  const auto fs_at = [&](const SearchCircle& z) {
    const auto same = [&z](const std::pair<SearchCircle, double>& t) {
      return std::bit_cast<Bits>(t.first) == std::bit_cast<Bits>(z);
    };
    const auto end = tried.begin() + static_cast<std::ptrdiff_t>(std::min(kept, tried.size()));
    const auto known = std::find_if(tried.begin(), end, same);
    if (known != end) return known->second;
    const double fz = fs_of(section, z);
    tried[kept++ % tried.size()] = {z, fz};
    return fz;
  };
  double f = fs_at(x);
  // The circles tried at this step, and the step they may double up to.
  const double first_step = from_near ? step : 0;
  int circles = 0;
  auto explore = [&](SearchCircle y, double* fy) {
    for (const auto n : kSearchNumbers) {
      for (const double sign : {1.0, -1.0}) {
        SearchCircle z = y;
        z.*n += sign * step;
        z = clamped(section, z);
        const double fz = fs_at(z);
        ++circles;
        if (fz < *fy) {
          y = z, *fy = fz;
          break;
        }
      }
    }
    return y;
  };
  while (step > precision.least_step) {
    for (;;) {
      double fy = f;
      SearchCircle y = explore(x, &fy);
      if (!(fy < f)) break;
      // Pattern moves: from y, the move x -> y again, further while better
      // (at most 20 doublings: the ranges are a few units wide).
      for (int doubling = 0; doubling <= 20; ++doubling) {
        const double reach = std::ldexp(1.0, doubling);
        SearchCircle z{};
        for (const auto n : kSearchNumbers) z.*n = y.*n + reach * (y.*n - x.*n);
        z = clamped(section, z);
        double fz = fs_at(z);
        z = explore(z, &fz);
        if (!(fz < fy)) break;
        x = y, y = z, fy = fz;
      }
      x = y, f = fy;
      if (circles > kCompassRun && step < first_step) step *= 2, circles = 0;
    }
    step /= 2, circles = 0;
  }
  return x;
}

}  // namespace telk
