// Curve table: the chart's curves as one polynomial in the cohesion ratio y
// per friction-ratio key, angle = C0 + C1 y + C2 y^2 + C3 y^3 + C4 y^4.
#include <cmath>
#include <limits>

#include "chart/chart.h"

namespace telk {

namespace {

constexpr int kPremiereCle = 20;
constexpr int kDerniereCle = 80;

// Coefficients C0 to C4, single precision, for keys 20 to 80.  Keys 20 to
// 51 carry quartics; from 52 on the curves are cubic and C4 is zero.
constexpr float kCourbes[kDerniereCle - kPremiereCle + 1][5] = {
    {11.248f, 19.852f, 119.85f, -103.69f, 24.326f},  // 20
    {11.459f, 34.059f, 104.12f, -103.06f, 27.062f},  // 21
    {12.256f, 36.903f, 116.61f, -123.39f, 33.833f},  // 22
    {13.024f, 41.2f, 112.96f, -122.38f, 33.463f},    // 23
    {13.736f, 40.859f, 127.24f, -141.82f, 40.206f},  // 24
    {14.213f, 47.646f, 117.52f, -133.57f, 37.284f},  // 25
    {13.993f, 60.972f, 113.1f, -159.04f, 54.542f},   // 26
    {14.649f, 56.477f, 152.13f, -215.26f, 76.451f},  // 27
    {15.145f, 67.398f, 134.6f, -204.24f, 72.986f},   // 28
    {15.677f, 76.67f, 113.38f, -183.88f, 65.373f},   // 29
    {16.698f, 81.465f, 129.43f, -228.77f, 87.977f},  // 30
    {17.106f, 87.864f, 126.4f, -254.56f, 107.67f},   // 31
    {17.596f, 93.587f, 124.39f, -269.11f, 117.96f},  // 32
    {18.008f, 103.96f, 109.74f, -276.93f, 129.25f},  // 33
    {18.779f, 100.46f, 141.32f, -317.34f, 143.03f},  // 34
    {19.161f, 114.16f, 106.38f, -292.85f, 140.92f},  // 35
    {19.825f, 120.24f, 118.79f, -352.87f, 184.37f},  // 36
    {20.248f, 132.07f, 76.276f, -295.96f, 158.37f},  // 37
    {20.652f, 136.48f, 106.88f, -408.3f, 239.63f},   // 38
    {20.936f, 140.12f, 134.88f, -503.06f, 306.27f},  // 39
    {21.621f, 160.49f, 26.271f, -321.69f, 211.22f},  // 40
    {22.219f, 163.69f, 45.787f, -396.73f, 268.08f},  // 41
    {23.1f, 164.66f, 88.678f, -562.85f, 406.71f},    // 42
    {23.394f, 178.52f, 21.96f, -445.45f, 338.74f},   // 43
    {23.702f, 185.96f, 20.163f, -506.35f, 411.23f},  // 44
    {24.327f, 184.02f, 42.249f, -544.64f, 426.31f},  // 45
    {24.419f, 203.9f, -41.386f, -464.84f, 429.11f},  // 46
    {24.927f, 208.74f, -37.049f, -509.2f, 468.35f},  // 47
    {25.573f, 213.09f, -35.983f, -552.38f, 513.57f}, // 48
    {26.076f, 224.02f, -70.301f, -599.42f, 623.62f}, // 49
    {26.494f, 229.0f, -63.001f, -658.99f, 695.72f},  // 50
    {27.946f, 223.9f, -32.997f, -709.64f, 716.61f},  // 51
    {27.65f, 258.1f, -320.85f, 105.95f, 0.0f},       // 52
    {28.132f, 265.15f, -343.61f, 120.84f, 0.0f},     // 53
    {28.64f, 274.73f, -375.59f, 143.45f, 0.0f},      // 54
    {28.948f, 284.38f, -416.46f, 183.72f, 0.0f},     // 55
    {29.028f, 305.89f, -517.24f, 297.02f, 0.0f},     // 56
    {29.58f, 311.14f, -542.05f, 322.11f, 0.0f},      // 57
    {30.244f, 314.88f, -555.76f, 330.67f, 0.0f},     // 58
    {30.417f, 320.75f, -571.86f, 337.99f, 0.0f},     // 59
    {30.553f, 331.59f, -618.58f, 387.73f, 0.0f},     // 60
    {31.596f, 331.38f, -624.33f, 391.2f, 0.0f},      // 61
    {32.125f, 336.29f, -660.4f, 442.05f, 0.0f},      // 62
    {32.598f, 350.2f, -736.41f, 538.82f, 0.0f},      // 63
    {33.2f, 348.8f, -704.81f, 467.44f, 0.0f},        // 64
    {33.706f, 352.29f, -761.28f, 575.25f, 0.0f},     // 65
    {33.69f, 375.8f, -890.27f, 753.01f, 0.0f},       // 66
    {34.289f, 377.98f, -901.16f, 761.08f, 0.0f},     // 67
    {34.589f, 389.74f, -957.06f, 825.76f, 0.0f},     // 68
    {35.173f, 387.73f, -925.7f, 750.17f, 0.0f},      // 69
    {35.419f, 393.44f, -975.44f, 838.54f, 0.0f},     // 70
    {35.627f, 403.12f, -1038.3f, 938.48f, 0.0f},     // 71
    {36.377f, 413.39f, -1148.2f, 1153.1f, 0.0f},     // 72
    {37.062f, 416.58f, -1159.6f, 1147.4f, 0.0f},     // 73
    {37.185f, 429.4f, -1264.7f, 1359.5f, 0.0f},      // 74
    {37.64f, 427.47f, -1216.7f, 1216.5f, 0.0f},      // 75
    {37.552f, 463.8f, -1538.8f, 1863.7f, 0.0f},      // 76
    {38.369f, 461.98f, -1538.4f, 1872.0f, 0.0f},     // 77
    {38.893f, 464.95f, -1562.9f, 1919.3f, 0.0f},     // 78
    {39.247f, 471.46f, -1590.8f, 1937.0f, 0.0f},     // 79
    {39.014f, 475.97f, -1623.2f, 2011.2f, 0.0f},     // 80
};

// The quartics end where the rounded friction ratio reaches 0.52 (a double):
// the float 0.52 is 0.51999998, below it, and keeps the quartic of key 51.
constexpr double kFinQuartiques = 0.52;

float coefficient(float x, int degre) {
  const int k = cle(x);
  if (k < kPremiereCle || k > kDerniereCle)
    return std::numeric_limits<float>::quiet_NaN();
  return kCourbes[k - kPremiereCle][degre];
}

}  // namespace

float C0(float x) { return coefficient(x, 0); }
float C1(float x) { return coefficient(x, 1); }
float C2(float x) { return coefficient(x, 2); }
float C3(float x) { return coefficient(x, 3); }

float C4(float x) {
  if (double{x} >= kFinQuartiques) return 0.0f;
  return coefficient(x, 4);
}

ChartRow chart_row(float x) {
  return {limite(x), {C0(x), C1(x), C2(x), C3(x), C4(x)}};
}

float pente(const ChartRow& row, float y) {
  // Summed from the highest power down, every partial sum in double.
  const double yd = y;
  const double t4 = double{row.C[4]} * std::pow(yd, 4.0);
  const double t3 = double{row.C[3]} * std::pow(yd, 3.0) + t4;
  const double t2 = double{row.C[2]} * std::pow(yd, 2.0) + t3;
  const double t1 = double{row.C[1]} * yd + t2;
  return static_cast<float>(double{row.C[0]} + t1);
}

float pente(float x, float y) { return pente(chart_row(x), y); }

float slope_angle(const ChartRow& row, float y) {
  float angle = std::numeric_limits<float>::quiet_NaN();
  switch (validite(row, y)) {
    case kDedans:
      angle = pente(row, y);
      break;
    case kAuDela:
      angle = 90.0f;
      break;
    default:
      break;  // no row for this key
  }
  return angle > 90.0f ? 90.0f : angle;
}

float slope_angle(float x, float y) { return slope_angle(chart_row(x), y); }

}  // namespace telk
