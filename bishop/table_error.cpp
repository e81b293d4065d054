// How far the fast path's cubic is above the solver halfway between the
// table's nodes: along beta, along the share and at the cells' centres,
// up to the last cubic angle (88 degrees; beyond, the next whole degree's
// node is read, below the solver).  The table's error, kTableError, is
// at least twice the most found.
//   table_error [last degree, 1 to 88]
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bishop/bishop.h"
#include "bishop/table.h"

int main(int argc, char** argv) {
  using namespace telk;
  const int rows = argc > 1 ? std::atoi(argv[1]) : 88;
  if (!(rows >= 1 && rows <= 88)) return 2;
  struct Point { double beta, u; };
  std::vector<Point> points;
  for (int r = 0; r <= 2 * (rows - 1); ++r) {
    for (int c = 0; c <= 2 * (kTableShares - 1); ++c) {
      if (r % 2 == 0 && c % 2 == 0) continue;  // a node
      points.push_back({1 + r / 2.0, c / (2.0 * (kTableShares - 1))});
    }
  }
  std::vector<double> above(points.size());
  auto run = [&](std::size_t first) {
    for (std::size_t i = first; i < points.size(); i += 2) {
      const double s = points[i].u * points[i].u * points[i].u * points[i].u;
      const TableStrength strength = table_strength(1 - s, s);
      const double cubic = check_factor_of_safety(strength, points[i].beta) * (1 + kTableError) /
                           strength.scale;
      above[i] = cubic / critical_fs_per_strength(points[i].beta, s) - 1;
    }
  };
  std::thread other(run, 1);
  run(0);
  other.join();
  std::size_t worst = 0;
  for (std::size_t i = 0; i < points.size(); ++i)
    if (above[i] > above[worst]) worst = i;
  std::printf("%zu points, beta 1 to %d: most above the solver %.5f%% at beta %.1f, u %.5f\n",
              points.size(), rows, 100 * above[worst], points[worst].beta, points[worst].u);
  return 0;
}
