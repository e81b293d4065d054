#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "chart/chart.h"
#include "chart/cohesion.h"

using namespace telk;

// The ratios of a sweep, skipping where they cannot change, are bit for
// bit those of the plain rule at every row: over long sweeps whose ratio
// keeps its value for millions of rows, sweeps whose ratio is new on every
// row, and negative, huge and not-finite answers.
TEST(CohesionRatios, AreThePlainRuleAtEveryRow) {
  std::mt19937 gen(5);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float odd[] = {0.0f, -0.0f, inf, -inf, nan, 1e-30f, 1e30f, -1.0f, 3e38f};
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  auto pick = [&](float typical) {
    switch (gen() % 8) {
      case 0: return odd[gen() % std::size(odd)];
      case 1: return -typical * unit(gen);
      case 2: return typical * std::pow(10.0f, static_cast<float>(gen() % 25) - 12);
      default: return typical * unit(gen);
    }
  };
  long long rows = 0;
  for (int sweep = 0; sweep < 3000; ++sweep) {
    const float c = pick(12), gamma = pick(3), phi = radians(pick(60));
    const float definition = gen() % 2 ? pick(2.5f) : (1 + gen() % 8) / 8.0f;
    CohesionRatios ratios(c, gamma, phi);
    float h = gen() % 4 ? 0.0f : pick(1e5f);
    const int count = sweep % 50 == 0 ? 200000 : 1000;
    for (int i = 0; i < count; ++i, ++rows) {
      h += definition;
      const float plain = arrondir(B(h, c, gamma, phi), 2);
      ASSERT_EQ(std::bit_cast<std::uint32_t>(ratios.at(h)), std::bit_cast<std::uint32_t>(plain))
          << "c " << c << " gamma " << gamma << " phi " << phi << " h " << h;
    }
  }
  EXPECT_GT(rows, 1000000);
}
