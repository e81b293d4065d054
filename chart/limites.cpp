// Limit table: for each chart key, the cohesion ratio at which the chart
// ends.  Below it the curve gives the angle; at or above it the slope stands
// at 90 degrees.
#include <cmath>
#include <limits>

#include "chart/chart.h"

namespace telk {

namespace {

constexpr double sans = std::numeric_limits<double>::quiet_NaN();  // no row

constexpr int kPremiereCle = 10;
constexpr int kDerniereCle = 100;

// The limits are the doubles nearest to the chart's decimal values (4.2 is
// the double 4.2, not the float): they are compared with float ratios
// widened exactly, so a ratio of 0.55 (the float 0.55000001) reaches the
// limit 0.55 while 0.52 (the float 0.51999998) stays below the limit 0.52.
// Indexed by key - 10; keys 10 to 100.
constexpr double kLimites[kDerniereCle - kPremiereCle + 1] = {
    // 10 to 19
    4.2, sans, sans, sans, sans, sans, sans, sans, sans, sans,
    // 20 to 29
    2.0, 1.7, 1.75, 1.78, 1.7, 1.7, 1.27, 1.28, 1.3, 1.32,
    // 30 to 39
    1.3, 1.25, 1.23, 1.2, 1.1, 1.1, 0.99, 0.96, 0.91, 0.89,
    // 40 to 49
    0.86, 0.83, 0.8, 0.78, 0.73, 0.72, 0.69, 0.685, 0.68, 0.67,
    // 50 to 59
    0.62, 0.6, 0.52, 0.508, 0.55, 0.54, 0.52, 0.51, 0.49, 0.48,
    // 60 to 69
    0.47, 0.46, 0.45, 0.44, 0.425, 0.42, 0.41, 0.4, 0.39, 0.38,
    // 70 to 79
    0.375, 0.362, 0.355, 0.35, 0.33, 0.334, 0.33, 0.32, 0.31, 0.305,
    // 80 to 89
    0.3, sans, sans, sans, sans, 0.26, sans, sans, sans, sans,
    // 90 to 99
    0.245, sans, sans, sans, sans, 0.228, sans, sans, sans, sans,
    // 100
    0.205,
};

}  // namespace

double limite(float x) {
  const int k = cle(x);
  if (k < kPremiereCle || k > kDerniereCle) return sans;
  return kLimites[k - kPremiereCle];
}

int validite(const ChartRow& row, float y) {
  // The chart has no region below a cohesion ratio of zero; a negative
  // cohesion, density or height would otherwise read angles off a curve
  // where it means nothing.
  if (y < 0.0f || std::isnan(row.limite)) return kSansVerdict;
  // A ratio that is not a number is not at the limit: it stays inside.
  return double{y} >= row.limite ? kAuDela : kDedans;
}

int validite(float x, float y) { return validite(chart_row(x), y); }

}  // namespace telk
