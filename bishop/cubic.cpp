#include "bishop/cubic.h"

#include <cmath>
#include <initializer_list>

namespace telk {

void cubic_weights(double x, double first, double w[4]) {
  const double a = x - first, b = x - (first + 1), c = x - (first + 2), d = x - (first + 3);
  w[0] = -(b * c * d) / 6;
  w[1] = a * c * d / 2;
  w[2] = -(a * b * d) / 2;
  w[3] = a * b * c / 6;
}

double cubic_at(const double v[4], double x, double first) {
  double w[4];
  cubic_weights(x, first, w);
  return w[0] * v[0] + w[1] * v[1] + w[2] * v[2] + w[3] * v[3];
}

bool cubics_agree(const double v[6], double tolerance) {
  for (const double x : {0.25, 0.5, 0.75}) {
    const double middle = cubic_at(v + 1, x, -1);
    if (!(std::abs(middle - cubic_at(v, x + 1, -1)) <= tolerance &&
          std::abs(middle - cubic_at(v + 2, x - 1, -1)) <= tolerance))
      return false;
  }
  return true;
}

}  // namespace telk
