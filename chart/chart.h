// The stability chart: its two coordinates, their rounding, the chart key,
// the limit table and the curve table.
//
// Every value kept between operations is a float; the arithmetic inside an
// operation is done in double and rounded to float where noted.  These
// widths decide which table row a ratio selects, so they are part of the
// behaviour, not an implementation detail.
//
// The functions keep the chart's own names (A, B, arrondir, tronquer,
// decimale, cle, limite, validite, C0 to C4, pente), so that each can be
// read against the chart it computes; the rest of telk is named in English.
#pragma once

namespace telk {

// The chart's three factors of safety, column group by group: the float
// the friction ratio divides by (its 1.3 is 1.29999995), and the decimal it
// stands for, which a check of the chart's angles aims at.
struct FactorOfSafety {
  float chart;
  double decimal;
};
inline constexpr FactorOfSafety kFactorsOfSafety[] = {{1.0f, 1.0}, {1.3f, 1.3}, {1.5f, 1.5}};
inline constexpr int kGroups = 3;
static_assert(sizeof kFactorsOfSafety / sizeof kFactorsOfSafety[0] == kGroups);

// The friction angle in radians, with pi as the float 3.1415927.
float radians(float degrees);

// Friction ratio tan(phi) / fs; phi in radians.
float A(float phi, float fs);

// Cohesion ratio c / (tan(phi) * (gamma * h)); phi in radians.
float B(float h, float c, float gamma, float phi);

// The same ratio for a caller that takes tan(phi), in double, once per run.
float B_tan(float h, float c, float gamma, double tan_phi);

// The chart's two inputs as it reads them, rounded to two decimals by
// arrondir: the friction ratio of a factor of safety, and the cohesion
// ratio of a height.
//
// With a positive, finite cohesion, unit weight and tan(phi), the rounded
// cohesion ratio never rises as a positive height rises: the quotient
// falls, and each rounding step keeps the order.  A sweep relies on this
// to skip the rows where the ratio cannot change (CohesionRatios).
float friction_ratio(float phi, float fs);
float cohesion_ratio(float h, float c, float gamma, double tan_phi);

// v rounded half up to p decimals, on the float nearest to 10^(p+1) * v.
// A value whose scaled form is not finite is returned unchanged.
float arrondir(float v, int p);

// v truncated toward zero to p decimals.
float tronquer(float v, int p);

// Fractional part of v, with the sign of v.
float decimale(float v);

// Chart key of a rounded friction ratio: trunc(100 * x), the product being
// exact.  A ratio held just below its two-decimal value gets the key below
// (0.21 gives 20).  Not a number, or beyond the int range, gives kCleAucune.
int cle(float x);
inline constexpr int kCleAucune = -2147483647 - 1;

// Validity outcomes of validite().
inline constexpr int kSansVerdict = 0;  // no row for the key, or y below zero
inline constexpr int kDedans = 1;       // y is below the row's limit
inline constexpr int kAuDela = 2;       // y is at or beyond the row's limit

// The limit of the cohesion ratio in the row of x's key; not a number
// where the key has no row.
double limite(float x);

// Where the pair (x, y) lies against the chart's limit for x's key.
int validite(float x, float y);

// Coefficient of y^n of the curve for x's key.  A key without a curve row
// yields not-a-number, so that no angle is ever made up for it.
float C0(float x);
float C1(float x);
float C2(float x);
float C3(float x);
float C4(float x);  // zero from x = 0.52 on, where the curves are cubic

// Slope angle in degrees read off the curve for (x, y); not capped.
float pente(float x, float y);

// Slope angle of one column group: the curve inside the chart's limit, 90
// beyond it, capped at 90.  Not a number where the chart gives no angle
// (a key without a row, or without a curve), so that none is borrowed.
float slope_angle(float x, float y);

// What the chart holds for a rounded friction ratio x, looked up once for
// a run whose x does not change: limite(x) and C0(x) to C4(x).
struct ChartRow {
  double limite;
  float C[5];
};
ChartRow chart_row(float x);

// validite, pente and slope_angle for the row of x; the functions of x
// above are these on chart_row(x).
int validite(const ChartRow& row, float y);
float pente(const ChartRow& row, float y);
float slope_angle(const ChartRow& row, float y);

}  // namespace telk
