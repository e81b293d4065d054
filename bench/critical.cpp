// Times critical_circle, as telk --fs calls it, over a grid of slopes:
// phi 0 to 60 degrees, c / (gamma H) 0 and 1e-6 to 2, beta 1 to 90 degrees
// (89, 89.9 and 90 among them), H 1 to 1000; the inputs are floats, as telk
// reads them.  Prints the slowest few and the worst, and with a file name
// writes every point's factor of safety and time there, to compare two
// solvers; heights after it replace the grid's.  Built with the program's
// flags, as telk's release:
//   cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF
//   cmake --build build/release --target critical_bench
//   build/release/critical_bench [values-file [heights...]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bishop/bishop.h"

int main(int argc, char** argv) {
  using namespace telk;
  using Clock = std::chrono::steady_clock;
  const double phis[] = {0, 1, 5, 10, 20, 30, 35, 40, 45, 50, 60};
  const double ratios[] = {0, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 0.05, 0.1, 0.3, 1, 2};
  const double betas[] = {1, 2, 5, 10, 20, 30, 45, 60, 75, 85, 89, 89.9, 90};
  std::vector<double> heights = {1, 10, 100, 1000};
  if (argc > 2) heights.clear();
  for (int i = 2; i < argc; ++i) heights.push_back(std::atof(argv[i]));
  const double gamma = 20;
  struct Run {
    double seconds;
    Ground ground;
    double fs;
  };
  std::vector<Run> runs;
  std::FILE* values = argc > 1 ? std::fopen(argv[1], "w") : nullptr;
  double total = 0;
  for (const double h : heights) {
    for (const double phi : phis) {
      for (const double ratio : ratios) {
        for (const double beta : betas) {
          const Ground g{float(phi), float(ratio * gamma * h), float(gamma), float(h),
                         float(beta)};
          const auto start = Clock::now();
          const SlipAnswer b = critical_circle(g);
          const double s = std::chrono::duration<double>(Clock::now() - start).count();
          total += s;
          runs.push_back({s, g, b.fs});
          if (values != nullptr) {
            std::fprintf(values, "%g %g %g %g %g %.17g %.6f\n", g.friction_angle, g.cohesion,
                         g.unit_weight, g.height, g.slope_angle, b.fs, s);
            std::fflush(values);
          }
        }
      }
    }
  }
  if (values != nullptr) std::fclose(values);
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds > b.seconds; });
  for (std::size_t i = 0; i < 12 && i < runs.size(); ++i) {
    const Run& r = runs[i];
    std::printf("%8.1f ms  --fs %g %g %g %g %g  fs %.6g\n", r.seconds * 1e3,
                r.ground.friction_angle, r.ground.cohesion, r.ground.unit_weight,
                r.ground.height, r.ground.slope_angle, r.fs);
  }
  std::printf("%zu slopes, mean %.1f ms, median %.1f ms, worst %.1f ms\n", runs.size(),
              total / runs.size() * 1e3, runs[runs.size() / 2].seconds * 1e3,
              runs.front().seconds * 1e3);
  return 0;
}
