#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "report/cells.h"
#include "tests/plain_cells.h"

using namespace telk;

static std::string decimal(float v) {
  char buf[kCellMax];
  return std::string(buf, write_decimal_cell(buf, v));
}

TEST(DecimalCell, WritesTwoHundredthsAfterAComma) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct { float v; const char* want; } cases[] = {
      {5.0f, " 5,00\t"},      {12.5f, " 12,50\t"},   {0.58f, " 0,58\t"},
      {0.05f, " 0,05\t"},     {0.1f, " 0,10\t"},     {17.32f, " 17,32\t"},
      {0.125f, " 0,12\t"},    {0.375f, " 0,38\t"},   // halves to even
      {5.1f, " 5,10\t"},      // 5.0999999: the fraction is below 0.1
      {2.9999993f, " 3,00\t"}, {3.0999992f, " 3,10\t"},  // 100 hundredths carry
      {-5.75f, " -5,75\t"},   {-0.05f, " -0,05\t"},  {-0.001f, " 0,00\t"},
      {3e9f, " 3000000000,00\t"}, {inf, "\t"},       {std::nanf(""), "\t"},
  };
  for (const auto& c : cases) EXPECT_EQ(decimal(c.v), c.want) << c.v;
}

TEST(DecimalCell, ReadsBackAsTheValue) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<float> digits(-1e4f, 1e4f);
  std::uniform_int_distribution<int> scale(-6, 6);
  for (int i = 0; i < 200000; ++i) {
    const float v = static_cast<float>(digits(gen) * std::pow(10.0, scale(gen)));
    std::string cell = decimal(v);
    const std::size_t comma = cell.find(',');
    ASSERT_TRUE(cell.front() == ' ' && cell.size() - comma == 4 && cell.back() == '\t')
        << cell;
    cell[comma] = '.';
    // Half a hundredth, plus the float rounding of the hundredths.
    const double slack = 0.005 + 1e-5 + std::fabs(double{v}) * 2e-7;
    ASSERT_LE(std::fabs(std::strtod(cell.c_str(), nullptr) - v), slack) << v;
  }
}

TEST(Writers, MatchPlainSnprintfOnAnyFloat) {
  std::mt19937 gen(17);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::uniform_int_distribution<int> hundredths(-200000, 200000), ulps(-3, 3);
  for (int i = 0; i < 1200000; ++i) {
    float v;
    switch (i % 3) {
      case 0: v = std::bit_cast<float>(bits(gen)); break;  // any float at all
      case 1: v = hundredths(gen) / 200.0f; break;  // halves of a hundredth
      default:  // a few ulps from a hundredth boundary
        v = static_cast<float>(hundredths(gen) / 100.0);
        for (int k = ulps(gen); k != 0; k += k < 0 ? 1 : -1)
          v = std::nextafter(v, k < 0 ? -INFINITY : INFINITY);
    }
    char got[3 * kCellMax];
    char* end = write_angle_cell(write_decimal_cell(got, v), v);
    end = write_trace(end, v);
    ASSERT_EQ(std::string(got, end), plain_cells(v)) << std::bit_cast<std::uint32_t>(v);
  }
}

// The check file's cells are "%.*f" with a comma but cut, not rounded, on
// any double they meet: ordinary values, exact halves of their last place,
// values a few ulps either side of a cut, and any bits at all.  The C
// library writes any double's exact digits when asked for enough.
TEST(Writers, CommaCellIsTheExactValueCutOnAnyDouble) {
  std::mt19937_64 gen(19);
  std::uniform_real_distribution<double> ordinary(-2000, 2000);
  std::uniform_int_distribution<int> halves(-4000000, 4000000), ulps(-4, 4), decimals(0, 3);
  for (int i = 0; i < 1000000; ++i) {
    const int d = decimals(gen);
    double v;
    switch (i % 4) {
      case 0: v = ordinary(gen); break;
      case 1: v = std::ldexp(halves(gen), -3 - d * 4); break;  // exact binary halves
      case 2:
        v = halves(gen) / std::pow(10.0, d);
        for (int k = ulps(gen); k != 0; k += k < 0 ? 1 : -1)
          v = std::nextafter(v, k < 0 ? -INFINITY : INFINITY);
        break;
      default: v = std::bit_cast<double>(gen()); break;
    }
    if (!std::isfinite(v)) continue;
    const bool large = std::fabs(v) >= 1e15;
    static char exact[1200];
    std::snprintf(exact, sizeof exact, large ? "%.400e" : "%.1100f", v);
    std::string want(exact);
    const std::size_t point = want.find('.');
    const std::size_t exponent = want.find('e');
    want = want.substr(0, point + (d > 0 ? 1 + d : 0)) +
           (large ? want.substr(exponent) : std::string()) + "\t";
    std::replace(want.begin(), want.end(), '.', ',');
    char got[kCellMax];
    ASSERT_EQ(std::string(got, write_comma_cell(got, v, d)), want) << v << " " << d;
  }
}

// Fixed text is "%.*f" on any double at all, the largest among them too,
// 309 whole digits.
TEST(Writers, FixedTextIsPrintfOnAnyDouble) {
  std::mt19937_64 gen(23);
  std::uniform_int_distribution<int> decimals(0, kMostFixedDecimals);
  const double extremes[] = {std::numeric_limits<double>::max(), -1e308, 1e125, 9.99e123,
                             std::numeric_limits<double>::denorm_min(), -0.0};
  for (int i = 0; i < 200000; ++i) {
    const int d = decimals(gen);
    const double v = i < 6 * 7 ? extremes[i / 7] : std::bit_cast<double>(gen());
    if (!std::isfinite(v)) continue;
    static char want[400];
    std::snprintf(want, sizeof want, "%.*f", i < 6 * 7 ? i % 7 : d, v);
    ASSERT_EQ(fixed_text(v, i < 6 * 7 ? i % 7 : d), want) << v;
  }
}
