// Prints a digest of the rounded friction ratios for every float friction
// angle from 1 to 90 degrees, one line per 2^20 angles, so that two builds
// can be compared exhaustively.  The friction ratio is where the C
// library's tan reaches the file: a tan one ulp apart matters only where
// it moves a ratio across a hundredth.
#include <bit>
#include <cstdint>
#include <cstdio>

#include "chart/chart.h"

int main() {
  constexpr std::uint64_t kBasis = 14695981039346656037u, kPrime = 1099511628211u;  // FNV-1a
  const float factors[] = {1.0f, 1.3f, 1.5f};
  const auto first = std::bit_cast<std::uint32_t>(0.017453292f);  // 1 degree in radians
  const auto last = std::bit_cast<std::uint32_t>(1.5707964f);     // 90 degrees
  std::uint64_t digest = kBasis;
  for (std::uint32_t bits = first; bits <= last; ++bits) {
    const float phi = std::bit_cast<float>(bits);
    for (const float fs : factors) {
      const auto x = std::bit_cast<std::uint32_t>(telk::arrondir(telk::A(phi, fs), 2));
      for (int byte = 0; byte < 4; ++byte) digest = (digest ^ ((x >> (8 * byte)) & 0xFF)) * kPrime;
    }
    if ((bits & 0xFFFFF) == 0xFFFFF || bits == last) {
      std::printf("%.9g %016llx\n", static_cast<double>(phi), static_cast<unsigned long long>(digest));
      digest = kBasis;
    }
  }
  return 0;
}
