#include "bishop/cubic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

using namespace telk;

// A cubic is read back exactly wherever its four values are taken, and a
// node reads its own value unchanged, from either set of nodes the fast
// path and the sweep use.
TEST(Cubic, ReadsACubicBackAndItsNodesUnchanged) {
  const auto f = [](double x) { return 0.5 - 1.25 * x + 0.375 * x * x + 0.0625 * x * x * x; };
  for (const double first : {-1.0, 0.0}) {
    double v[4];
    for (int i = 0; i < 4; ++i) v[i] = f(first + i);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(cubic_at(v, first + i, first), v[i]) << first;
    for (double x = first - 0.5; x <= first + 3.5; x += 0.125)
      EXPECT_NEAR(cubic_at(v, x, first), f(x), 1e-12) << first << " " << x;
  }
}

// The cubics through six values agree on a smooth curve and part across a
// kink between the middle two, or next to them, where two lines cross:
// the interval there is halved, not read off a cubic that rounds the kink
// off.  A kink beyond the six values leaves them agreeing.
TEST(Cubic, AgreeOnASmoothCurveAndPartAcrossAKink) {
  struct Case {
    double kink;  // where the slope turns from -0.5 to -2, in steps
    bool agree;
  };
  const Case cases[] = {{-10, true}, {0.5, false}, {-0.5, false}, {1.5, false}, {6, true}};
  for (const Case& c : cases) {
    double v[6];
    for (int i = 0; i < 6; ++i) {
      const double x = i - 2;
      v[i] = -0.5 * x - 1.5 * std::max(0.0, x - c.kink);
    }
    EXPECT_EQ(cubics_agree(v, 0.01), c.agree) << c.kink;
  }
  double smooth[6];
  for (int i = 0; i < 6; ++i) smooth[i] = std::log(1.3 + 0.25 * i);
  EXPECT_TRUE(cubics_agree(smooth, 2e-4));
  smooth[5] = std::nan("");
  EXPECT_FALSE(cubics_agree(smooth, 2e-4));
}

// The halving rule on synthetic paths, 1024 ticks a node: a smooth one is
// read off the widest cubic; across a kink the pieces are halved, and
// every tick about it reads at or below the path (the lower end where the
// cubics still part), as they fall as ticks rise.
TEST(Cubic, PiecesHalveAcrossAKinkAndStayBelowIt) {
  struct Case {
    double kink;  // in nodes; far off for a smooth path
    bool widest;  // read off the widest cubic
  };
  for (const Case c : {Case{-50, true}, Case{0.4, false}, Case{0.73, false}}) {
    const auto path = [&](double t) {
      const double x = t / 1024;
      return -0.3 * x - 1.2 * std::max(0.0, x - c.kink) + 0.01 * x * x;
    };
    const auto value = [&](std::int64_t t) { return path(static_cast<double>(t)); };
    const auto usable = [](double v) { return std::isfinite(v); };
    const auto follows = [](std::int64_t, std::int64_t) { return true; };
    for (double t = 0; t < 1024; t += 7) {
      const CubicPiece p = piece_about(t, 1024, 4, value, usable, follows,
                                       [](std::int64_t, std::int64_t) {}, 1e-4);
      EXPECT_EQ(p.spacing == 1024, c.widest) << c.kink << " " << t;
      EXPECT_LE(p.at(t), path(t) + (c.widest ? 1e-9 : 1e-4)) << c.kink << " " << t;
    }
  }
}
