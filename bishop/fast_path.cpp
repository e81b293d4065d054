// The fast path: the critical factor of safety and the steepest angle read
// off the table by cubic interpolation, then lowered by the table's error
// so that neither is on the unsafe side of the solver's.  Only + - * / and
// sqrt, which IEEE arithmetic rounds correctly, so that every platform
// gives the same bits.
#include <cmath>
#include <limits>

#include "bishop/bishop.h"
#include "bishop/cubic.h"
#include "bishop/table.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kLastAngleRow = kTableAngles - 1;

// Over the last two degrees a face turns vertical, and there the factor of
// safety of a nearly cohesionless slope falls faster than a cubic follows
// (0.7% above the solver halfway between 89 and 90 degrees, 0.2% between
// 88 and 89; nowhere else 0.1%).  Beyond 88 degrees the fast path takes the
// next whole degree's value instead: the critical factor of safety falls
// as the slope steepens, so that is below it.
constexpr double kLastCubicAngle = 88;

// The four nodes around position x of a table of n, and their weights: the
// cell holding x and one either side, moved inward at the table's ends.
int stencil(double x, int n, double w[4]) {
  int base = static_cast<int>(x) - 1;
  if (base < 0) base = 0;
  if (base > n - 4) base = n - 4;
  cubic_weights(x - base, 0, w);
  return base;
}

// The table's value per degree row, at the strength's share.
double column(const TableStrength& strength, int row) {
  const double* r = kBishopTable[row] + strength.share_base;
  const double* w = strength.share_weights;
  return w[0] * r[0] + w[1] * r[1] + w[2] * r[2] + w[3] * r[3];
}

// The sign that the steepest angle's search follows: row's value per unit
// of strength at least the target's, that is, the slope at row + 1 degrees
// reaching the target.
bool reaches(const TableStrength& strength, int row, double per_degree) {
  return column(strength, row) >= per_degree * (row + 1);
}

// The angle in the cell from row to row + 1 degrees where the cubic through
// the rows around it meets the target: Newton's method from the chord's
// root, two steps: the chord's root is within some 0.01 degree, and each
// step squares the error, to well within 1e-6 degree.
double angle_in_cell(const TableStrength& strength, int row, double per_degree) {
  int base = row - 1;
  if (base < 0) base = 0;
  if (base > kTableAngles - 4) base = kTableAngles - 4;
  double q[4];
  for (int k = 0; k < 4; ++k) q[k] = column(strength, base + k) - per_degree * (base + k + 1);
  // Newton's form over the nodes 0 to 3: q0 + x (d1 + (x - 1) (d2 + (x - 2) d3)).
  const double d1 = q[1] - q[0];
  const double d2 = (q[2] - 2 * q[1] + q[0]) / 2;
  const double d3 = (q[3] - 3 * q[2] + 3 * q[1] - q[0]) / 6;
  const double lo = row - base, at_lo = q[row - base], at_hi = q[row - base + 1];
  double t = at_lo / (at_lo - at_hi);
  for (int i = 0; i < 2; ++i) {
    const double x = lo + t;
    const double inner = d2 + (x - 2) * d3;
    const double middle = d1 + (x - 1) * inner;
    const double value = q[0] + x * middle;
    const double slope = middle + x * (inner + (x - 1) * d3);
    if (!(slope < 0)) break;
    t -= value / slope;
    if (t < 0) t = 0;
    if (t > 1) t = 1;
  }
  return row + 1 + t;
}

}  // namespace

TableStrength table_strength(double tan_phi, double cohesion, double unit_weight,
                             double height) {
  // The friction angle's rule is on tan(phi), below.  gamma H must be
  // finite too: the table reads no slope whose weight overflows.
  const double weight = unit_weight * height;
  if (why_not_taken(kCohesion, cohesion) != nullptr ||
      why_not_taken(kUnitWeight, unit_weight) != nullptr ||
      why_not_taken(kHeight, height) != nullptr || !(weight < kInfinity)) {
    return table_strength(kNaN, kNaN);
  }
  return table_strength(tan_phi, cohesion / weight);
}

TableStrength table_strength(double tan_phi, double cohesion_ratio) {
  TableStrength s{kNaN, 0, {0, 0, 0, 0}};
  // tan(phi) of a friction angle the solver takes, in [0, 90) degrees, is
  // in [0, infinity); c / (gamma H) follows the cohesion's rule.
  if (!(tan_phi >= 0 && tan_phi < kInfinity) ||
      why_not_taken(kCohesion, cohesion_ratio) != nullptr) {
    return s;
  }
  s.scale = tan_phi + cohesion_ratio;
  if (!(s.scale < kInfinity)) {
    s.scale = kNaN;
    return s;
  }
  // c = phi = 0: no strength, and any share will do.
  const double share = s.scale > 0 ? cohesion_ratio / s.scale : 0;
  const double u = std::sqrt(std::sqrt(share));
  s.share_base = stencil(u * (kTableShares - 1), kTableShares, s.share_weights);
  return s;
}

double check_factor_of_safety(const TableStrength& strength, double slope_angle) {
  if (!(slope_angle >= 1 && slope_angle <= 90) || !(strength.scale >= 0)) return kNaN;
  // Beyond kLastCubicAngle, the next whole degree's value.
  if (slope_angle > kLastCubicAngle) slope_angle = std::ceil(slope_angle);
  const double x = slope_angle - 1;
  double per_strength;
  const int whole = static_cast<int>(x);
  if (whole == x) {
    per_strength = column(strength, whole);  // what the weights 0, 1, 0, 0 give
  } else {
    double w[4];
    const int base = stencil(x, kTableAngles, w);
    per_strength = w[0] * column(strength, base) + w[1] * column(strength, base + 1) +
                   w[2] * column(strength, base + 2) + w[3] * column(strength, base + 3);
  }
  return strength.scale * (per_strength * 90 / slope_angle) / (1 + kTableError);
}

double check_steepest_angle(const TableStrength& strength, double target_fs,
                            SteepestCursor* cursor) {
  if (!(strength.scale >= 0 && target_fs > 0 && target_fs < kInfinity)) return kNaN;
  if (strength.scale == 0) return kNaN;  // no strength: no slope stands
  const double per_degree = target_fs * (1 + kTableError) / (90 * strength.scale);
  if (!(per_degree < kInfinity)) return kNaN;
  // The row whose slope reaches the target while the next does not; the
  // table's values fall as the slope steepens, so there is one such row.
  int row;
  if (cursor != nullptr) {
    row = cursor->row;
    if (reaches(strength, row, per_degree)) {
      while (row < kLastAngleRow && reaches(strength, row + 1, per_degree)) ++row;
      if (row == kLastAngleRow) return 90;
    } else {
      while (row > 0 && !reaches(strength, row, per_degree)) --row;
      if (!reaches(strength, row, per_degree)) return kNaN;
    }
    cursor->row = row;
  } else {
    if (reaches(strength, kLastAngleRow, per_degree)) return 90;
    if (!reaches(strength, 0, per_degree)) return kNaN;
    int lo = 0, hi = kLastAngleRow;
    while (hi - lo > 1) {
      const int mid = (lo + hi) / 2;
      (reaches(strength, mid, per_degree) ? lo : hi) = mid;
    }
    row = lo;
  }
  // Beyond kLastCubicAngle, where the factor of safety is taken at the next
  // whole degree, the steepest angle is a whole degree.
  if (row + 1 >= kLastCubicAngle) return row + 1;
  return angle_in_cell(strength, row, per_degree);
}

double check_factor_of_safety(double tan_phi, double cohesion, double unit_weight,
                              double height, double slope_angle) {
  return check_factor_of_safety(table_strength(tan_phi, cohesion, unit_weight, height),
                                slope_angle);
}

double check_steepest_angle(double tan_phi, double cohesion, double unit_weight,
                            double height, double target_fs) {
  return check_steepest_angle(table_strength(tan_phi, cohesion, unit_weight, height),
                              target_fs, nullptr);
}

}  // namespace telk
