// Times Bishop's fast path as a height sweep calls it: for every row, the
// critical factor of safety at the chart's angle and the steepest angle for
// each of the three targets, with and without the cursors; and one solve of
// the critical circle.
//   g++ -std=c++20 -O2 -ffp-contract=off -I. -o build/bishop_bench bench/bishop.cpp \
//       bishop/ground.cpp bishop/section.cpp bishop/slices.cpp bishop/equilibrium.cpp \
//       bishop/search_circle.cpp bishop/search_grid.cpp bishop/search_refine.cpp \
//       bishop/crest_level.cpp bishop/critical.cpp bishop/fast_path.cpp bishop/table.cpp
//   build/bishop_bench [rows]      default 10000000
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bishop/bishop.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace telk;
  const long rows = argc > 1 ? std::atol(argv[1]) : 10000000;
  const double tan_phi = std::tan(35 * 3.14159265358979323846 / 180), c = 1, gamma = 2.2;
  const double definition = 0.125, chart_angle = 34;
  const double targets[] = {1.0, 1.3, 1.5};

  for (const bool with_cursors : {false, true}) {
    SteepestCursor cursors[3];
    double sum = 0;
    const auto start = Clock::now();
    for (long row = 1; row <= rows; ++row) {
      const TableStrength strength = table_strength(tan_phi, c, gamma, row * definition);
      sum += check_factor_of_safety(strength, chart_angle);
      for (int k = 0; k < 3; ++k) {
        const double beta = check_steepest_angle(strength, targets[k],
                                                 with_cursors ? &cursors[k] : nullptr);
        if (beta == beta) sum += beta;
      }
    }
    const double elapsed = seconds_since(start);
    std::printf("%s: %.1f ns a row (checksum %.6g)\n",
                with_cursors ? "with cursors" : "plain", elapsed / rows * 1e9, sum);
  }

  const auto start = Clock::now();
  const Bishop b = critical_circle({19.6, 3, 20, 10, std::atan(0.5) * 180 / 3.14159265358979});
  std::printf("critical_circle: %.1f ms (fs %.4f)\n", seconds_since(start) * 1e3, b.fs);
  return 0;
}
