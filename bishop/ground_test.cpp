#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "bishop/bishop.h"

using namespace telk;

// The first wrong input and why, and whether the strength alone is taken.
TEST(WrongInput, SaysWhichInputIsWrongAndWhy) {
  const double inf = INFINITY, nan = NAN;
  const struct { Ground ground; int wrong; const char* why; bool strength; } cases[] = {
      {{-1, 10, 20, 10, 30}, kFrictionAngle, "below 0", false},
      {{90, 10, 20, 10, 30}, kFrictionAngle, "90 degrees or more", false},
      {{nan, -1, 20, 10, 30}, kFrictionAngle, "not finite", false},
      {{30, -1, 20, 10, 30}, kCohesion, "below 0", false},
      {{30, inf, 20, 10, 30}, kCohesion, "not finite", false},
      {{30, 10, 0, 10, 30}, kUnitWeight, "not above 0", false},
      {{30, 10, 20, -1, 30}, kHeight, "not above 0", true},
      {{30, 10, 20, inf, 30}, kHeight, "not finite", true},
      {{30, 10, 20, 10, 0}, kSlopeAngle, "not above 0", true},
      {{30, 10, 20, 10, 90.5}, kSlopeAngle, "overhang", true},
      {{30, 1e300, 1e-300, 1e-300, 30}, kCohesion, "too large", true},
      // Water where every system gives the same answer: r_u up to 0.9, a
      // table's points within 1e6 H, water from a quarter of the soil's
      // unit weight to the soil's.
      {{30, 10, 2, 10, 30, {0.9001}}, kPoreRatio, "above 0.9", true},
      {{30, 10, 2, 10, 30, {0, 2, {-1e6, 1e6}, {0, 1}, 2}}, -1, nullptr, true},
      {{30, 10, 2, 10, 30, {0, 2, {0, 1}, {-1.5e6, 1}, 1}}, kWaterTable, "1e6 heights", true},
      {{30, 10, 2, 10, 30, {0, 2, {0, 1}, {0, 1}, 2.01}}, kWaterUnitWeight, "would float", true},
      {{30, 10, 20, 10, 30, {0, 2, {0, 1}, {0, 1}, 1}}, kWaterUnitWeight, "same units", true},
      {{0, 0, 20, 10, 90}, -1, nullptr, true},
      {{89.99, 0, 1e-300, 1e300, 90}, -1, nullptr, true},
  };
  for (const auto& c : cases) {
    const Ground& g = c.ground;
    const char* why = "unset";
    EXPECT_EQ(wrong_input(g, &why), c.wrong) << c.why;
    if (c.why == nullptr) {
      EXPECT_EQ(why, nullptr);
    } else {
      ASSERT_NE(why, nullptr) << c.why;
      EXPECT_NE(std::strstr(why, c.why), nullptr) << why;
    }
    EXPECT_EQ(takes_strength(g.friction_angle, g.cohesion, g.unit_weight), c.strength)
        << c.why;
  }
}
