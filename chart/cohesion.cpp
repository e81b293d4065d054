#include "chart/cohesion.h"

#include <bit>
#include <cmath>
#include <limits>

#include "chart/chart.h"

namespace telk {

namespace {

// A search costs about 30 ratios; it is worth it only once the ratio has
// shown that it keeps its value over runs of rows.
constexpr int kRowsBeforeSearch = 32;

bool same(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

}  // namespace

CohesionRatios::CohesionRatios(float cohesion, float density, float phi_radians)
    : cohesion_(cohesion),
      density_(density),
      tan_phi_(std::tan(double{phi_radians})),
      falls_(cohesion > 0 && density > 0 && tan_phi_ > 0 && std::isfinite(cohesion) &&
             std::isfinite(density) && std::isfinite(tan_phi_)) {}

float CohesionRatios::ratio(float h) const {
  return cohesion_ratio(h, cohesion_, density_, tan_phi_);
}

float CohesionRatios::at(float h) {
  if (h >= from_ && h < until_) return y_;
  const float y = ratio(h);
  if (!same(y, y_) || unchanged_ == 0) {
    y_ = y;
    from_ = until_ = h;
    unchanged_ = 1;
  } else if (++unchanged_ == kRowsBeforeSearch && falls_ && h > 0) {
    from_ = h;
    until_ = first_change_above(h, y);
  }
  return y;
}

// The least float above h whose ratio differs from y, h's, or infinity.
// Positive floats are ordered as their bits are, and the ratio does not
// rise with the height, so the heights whose ratio is still h's come
// first: bisect on the bits.
float CohesionRatios::first_change_above(float h, float y) const {
  const float inf = std::numeric_limits<float>::infinity();
  if (same(ratio(inf), y)) return inf;
  std::uint32_t keeps = std::bit_cast<std::uint32_t>(h);
  std::uint32_t changes = std::bit_cast<std::uint32_t>(inf);
  while (changes - keeps > 1) {
    const std::uint32_t middle = keeps + (changes - keeps) / 2;
    if (same(ratio(std::bit_cast<float>(middle)), y)) {
      keeps = middle;
    } else {
      changes = middle;
    }
  }
  return std::bit_cast<float>(changes);
}

}  // namespace telk
