// Chart coordinates, their two-decimal rounding and the chart key.
#include <climits>
#include <cstdint>
#include <cmath>
#include <limits>
#include <numbers>

#include "chart/chart.h"

// A double beyond the float range must become an infinity, as IEEE 754 says.
static_assert(std::numeric_limits<float>::is_iec559, "IEEE 754 floats needed");

namespace telk {

namespace {

// 10^p, exact for the small p the program uses, without a pow call per cell.
double puissance10(int p) {
  constexpr double kExactes[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  return p >= 0 && p <= 8 ? kExactes[p] : std::pow(10.0, p);
}

}  // namespace

float radians(float degrees) {
  return static_cast<float>(double{degrees} * double{std::numbers::pi_v<float>} / 180.0);
}

float A(float phi, float fs) {
  return static_cast<float>(std::tan(double{phi}) / double{fs});
}

float B(float h, float c, float gamma, float phi) {
  return B_tan(h, c, gamma, std::tan(double{phi}));
}

float B_tan(float h, float c, float gamma, double tan_phi) {
  const double poids = double{gamma} * double{h};
  return static_cast<float>(double{c} / (tan_phi * poids));
}

float friction_ratio(float phi, float fs) { return arrondir(A(phi, fs), 2); }

float cohesion_ratio(float h, float c, float gamma, double tan_phi) {
  return arrondir(B_tan(h, c, gamma, tan_phi), 2);
}

float arrondir(float v, int p) {
  const double echelle = puissance10(p + 1);
  // The scaled value is rounded to float before it is cut: 0.145 is held as
  // 0.1449999958, scales to 144.999996 and so to the float 145, giving 0.15.
  const float s = static_cast<float>(echelle * double{v});
  if (!std::isfinite(s)) return v;
  // s is a whole float below 2^53 or already a whole number far from any
  // float tie, so these double steps are exact where it matters.
  double e = std::trunc(double{s});
  // The last digit, with the sign of e (fmod's, zero included): a whole
  // float below 2^63 fits an int64, whose remainder is exact and cheaper.
  const double d =
      std::fabs(e) < 0x1p63
          ? std::copysign(static_cast<double>(static_cast<std::int64_t>(e) % 10), e)
          : std::fmod(e, 10.0);
  e = d > 4 ? e - d + 10 : e - d;       // so negatives are cut toward zero
  return static_cast<float>(e / echelle);
}

float tronquer(float v, int p) {
  const double echelle = puissance10(p);
  const float s = static_cast<float>(echelle * double{v});
  return static_cast<float>(std::trunc(double{s}) / echelle);
}

float decimale(float v) {
  return static_cast<float>(double{v} - std::trunc(double{v}));
}

int cle(float x) {
  // x has 24 significant bits, so 100 * x is exact in double.
  const double k = std::trunc(double{x} * 100.0);
  if (!(k >= INT_MIN && k <= INT_MAX)) return kCleAucune;
  return static_cast<int>(k);
}

}  // namespace telk
