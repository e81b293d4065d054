// Times Bishop's fast path as a height sweep calls it: for every row, the
// critical factor of safety at the chart's angle and the steepest angle for
// each of the three targets, with and without the cursors; and one solve of
// the critical circle.  Built with the program's flags, as telk's release:
//   cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF
//   cmake --build build/release --target fast_path_bench
//   build/release/fast_path_bench [rows]      default 10000000
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "bishop/bishop.h"
#include "chart/chart.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace telk;
  const long rows = argc > 1 ? std::atol(argv[1]) : 10000000;
  const double tan_phi = std::tan(35 * std::numbers::pi / 180), c = 1, gamma = 2.2;
  const double definition = 0.125, chart_angle = 34;

  for (const bool with_cursors : {false, true}) {
    SteepestCursor cursors[kGroups];
    double sum = 0;
    const auto start = Clock::now();
    for (long row = 1; row <= rows; ++row) {
      const TableStrength strength = table_strength(tan_phi, c, gamma, row * definition);
      sum += check_factor_of_safety(strength, chart_angle);
      for (int k = 0; k < kGroups; ++k) {
        const double beta = check_steepest_angle(strength, kFactorsOfSafety[k].decimal,
                                                 with_cursors ? &cursors[k] : nullptr);
        if (beta == beta) sum += beta;
      }
    }
    const double elapsed = seconds_since(start);
    std::printf("%s: %.1f ns a row (checksum %.6g)\n",
                with_cursors ? "with cursors" : "plain", elapsed / rows * 1e9, sum);
  }

  const auto start = Clock::now();
  const SlipAnswer b = critical_circle({19.6, 3, 20, 10, std::atan(0.5) * 180 / std::numbers::pi});
  std::printf("critical_circle: %.1f ms (fs %.4f)\n", seconds_since(start) * 1e3, b.fs);
  return 0;
}
