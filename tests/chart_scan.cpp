// Prints digests of what the C library's tan and pow decide in the chart,
// so that two builds can be compared exhaustively:
// - the rounded friction ratios for every float friction angle from 1 to
//   90 degrees, one line per 2^20 angles (tan one ulp apart matters only
//   where it moves a ratio across a hundredth);
// - the slope angle for every pair of two-decimal ratios x in [-0.20,
//   1.20] and y in [-200, 200], one line per x (the curve uses pow).
#include <bit>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "chart/chart.h"

namespace {

constexpr std::uint64_t kBasis = 14695981039346656037u;  // FNV-1a

void mix(std::uint64_t* digest, float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  for (int byte = 0; byte < 4; ++byte)
    *digest = (*digest ^ ((bits >> (8 * byte)) & 0xFF)) * 1099511628211u;
}

void print(const char* what, double at, std::uint64_t* digest) {
  std::printf("%s %.9g %016llx\n", what, at, static_cast<unsigned long long>(*digest));
  *digest = kBasis;
}

}  // namespace

int main() {
  std::uint64_t digest = kBasis;
  const auto first = std::bit_cast<std::uint32_t>(0.017453292f);  // 1 degree in radians
  const auto last = std::bit_cast<std::uint32_t>(1.5707964f);     // 90 degrees
  for (std::uint32_t bits = first; bits <= last; ++bits) {
    const float phi = std::bit_cast<float>(bits);
    for (const auto& fs : telk::kFactorsOfSafety) mix(&digest, telk::arrondir(telk::A(phi, fs.chart), 2));
    if ((bits & 0xFFFFF) == 0xFFFFF || bits == last) print("phi", phi, &digest);
  }
  // Hundredths as the rounding leaves them: the float nearest n / 100.
  for (int nx = -20; nx <= 120; ++nx) {
    for (int ny = -20000; ny <= 20000; ++ny)
      mix(&digest, telk::slope_angle(static_cast<float>(nx / 100.0), static_cast<float>(ny / 100.0)));
    print("x", nx / 100.0, &digest);
  }
  return 0;
}
