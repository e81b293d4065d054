// The coarse families of circles, their local minima, and the best on and
// off the edge of the deepest dip.
#include "bishop/search_grid.h"
#include "bishop/load.h"
#include "bishop/tuning.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>

namespace telk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The coarse families: exits from the toe up the face, entries from just
// above the exit (the shallow circles of a cohesionless slope) to far
// behind the crest, depths from a skin to the deepest dip (the toe
// circles of a steep cut and those touching the base of a flat slope).
// Exits just above the toe too: there a circle may touch the base inside
// the slope, which one through the toe cannot, and be the critical one.
// Over a deeper base, exits in front of the toe too, where the circles
// that dip below it leave the ground.
constexpr double kExits[] = {0,   0.001, 0.004, 0.015, 0.04, 0.1, 0.2,
                             0.3, 0.4,   0.5,   0.6,   0.7,  0.8, 0.9};
constexpr double kDeepExits[] = {-0.8, -0.6, -0.45, -0.3, -0.2, -0.12, -0.06, -0.02,
                                 0,    0.001, 0.004, 0.015, 0.04, 0.1, 0.2,
                                 0.3,  0.4,   0.5,   0.6,   0.7,  0.8, 0.9};
constexpr double kSpans[] = {0.02, 0.05, 0.1, 0.2, 0.3, 0.45, 0.6, 0.8, 1,
                             1.15, 1.3, 1.45, 1.6, 1.8, 2, 2.3, 2.6, 2.95};
// Below the base too, beyond 1: their slips follow the base, from the
// circle that touches it to the deepest.
constexpr double kDepths[] = {0.01, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1,
                              1.15, 1.35, 1.6, 2};
// Where the circles touching the base, or the deepest above it, lie.
constexpr int kTouching = 10;
// The grid's circles are cut in a quarter of the slices: it only ranks
// them, to find the valleys its refinements start from, and 16 slices
// move a factor of safety by well under the steps between its neighbours
// (over 300 random wet slopes, most on a deeper base, the same starts won
// and the critical factor of safety moved by 1e-11 at most), in a quarter
// of the time.
constexpr int kGridSlices = 16;
constexpr int ns = std::size(kSpans);

constexpr int nd = std::size(kDepths);
static_assert(kDepths[kTouching] == 1);

// The grid's circles: exits by the base, spans and depths.
struct Grid {
  explicit Grid(const Section& section)
      : exits(section.base > 0 ? kDeepExits : kExits),
        ne(section.base > 0 ? static_cast<int>(std::size(kDeepExits))
                            : static_cast<int>(std::size(kExits))) {}
  SearchCircle circle(int e, int s, int d) const {
    return {exits[e], exits[e] + kSpans[s], kDepths[d]};
  }
  int at(int e, int s, int d) const { return (e * ns + s) * nd + d; }
  const double* exits;
  int ne;
};

// The factors of safety of the grid's circles, by at(); +infinity for a
// depth beyond 1 whose circle does not follow the base (it is the depth
// 1's: so many copies of one circle would be taken for as many valleys).
std::vector<double> coarse_grid(const Section& section, const Grid& grid) {
  const int ne = grid.ne;
  std::vector<double> fs(static_cast<std::size_t>(ne) * ns * nd);
  for (int e = 0; e < ne; ++e) {
    for (int s = 0; s < ns; ++s) {
      for (int d = 0; d < nd; ++d) {
        const SearchCircle circle = grid.circle(e, s, d);
        fs[grid.at(e, s, d)] = d > kTouching && !follows_base(section, circle)
                                   ? kInfinity
                                   : fs_of(section, circle, kGridSlices);
      }
    }
  }
  return fs;
}

// The grid's least `count` local minima among its depths from `first` to
// before `last`, least first: the factor of safety may have several
// valleys, and the least coarse value need not lie in the deepest.
std::vector<Start> least_local_minima(const Grid& grid, const std::vector<double>& fs,
                                      std::size_t count, int first, int last) {
  const int ne = grid.ne;
  std::vector<Start> minima;
  for (int e = 0; e < ne; ++e) {
    for (int s = 0; s < ns; ++s) {
      for (int d = first; d < last; ++d) {
        const double f = fs[grid.at(e, s, d)];
        bool least = f < kInfinity;
        for (int de = -1; de <= 1 && least; ++de) {
          for (int ds = -1; ds <= 1 && least; ++ds) {
            for (int dd = -1; dd <= 1 && least; ++dd) {
              const int e2 = e + de, s2 = s + ds, d2 = d + dd;
              if (e2 < 0 || e2 >= ne || s2 < 0 || s2 >= ns || d2 < first || d2 >= last) continue;
              least = f <= fs[grid.at(e2, s2, d2)];
            }
          }
        }
        if (least) minima.push_back({f, grid.circle(e, s, d)});
      }
    }
  }
  std::sort(minima.begin(), minima.end(),
            [](const Start& a, const Start& b) { return a.fs < b.fs; });
  if (minima.size() > count) minima.resize(count);
  return minima;
}

}  // namespace

GridStarts grid_starts(const Section& section) {
  const Grid grid(section);
  const int ne = grid.ne;
  const std::vector<double> fs = coarse_grid(section, grid);
  GridStarts starts{least_local_minima(grid, fs, kGridValleys, 0, kTouching + 1), {kInfinity, {}}};
  // Two valleys a grid this coarse may show no local minimum in.  One lies
  // on the range's edge, among the deepest circles, whose centres are level
  // with their entries, so that their arcs enter upright: there
  // c b / m_alpha, with b shrinking as cos(alpha) and m_alpha kept up by
  // sin(alpha) tan(phi) / F, leaves the last slices next to no cohesion,
  // and with friction and much cohesion the factor of safety falls
  // steeply over the last hundredths of depth, narrower than the grid (a
  // toe circle of a 70 degree slope, 1% below the nearest minimum inside).
  // The other lies just inside, beside a grid node on that edge that is
  // the grid's only local minimum.  So the best circle on the edge and the
  // best inside are refined too.
  Start inside{kInfinity, {}};
  for (int e = 0; e < ne; ++e) {
    for (int s = 0; s < ns; ++s) {
      for (int d = 0; d <= kTouching; ++d) {
        Start& best_here = d == kTouching ? starts.upright : inside;
        const double f = fs[grid.at(e, s, d)];
        if (f < best_here.fs) best_here = {f, grid.circle(e, s, d)};
      }
    }
  }
  if (inside.fs < kInfinity &&
      std::none_of(starts.valleys.begin(), starts.valleys.end(),
                   [&](const Start& start) { return start.circle == inside.circle; }))
    starts.valleys.push_back(inside);
  // Below the base, valleys of their own, refined after those above it,
  // which they never crowd out.
  // Under a load on the crest, its own (load.h).
  const std::vector<Start> loaded = load_starts(section);
  starts.valleys.insert(starts.valleys.end(), loaded.begin(), loaded.end());
  const std::vector<Start> below = least_local_minima(grid, fs, kGridValleysBelow, kTouching + 1, nd);
  starts.valleys.insert(starts.valleys.end(), below.begin(), below.end());
  return starts;
}

}  // namespace telk
