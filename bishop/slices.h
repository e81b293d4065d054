// The slices of the soil above a slip arc, and their weights.
#pragma once

#include <vector>

#include "bishop/section.h"

namespace telk {

// A slice: its width, its weight (in gamma H^2), the sine and cosine of
// its base's angle alpha, positive where the base rises toward the crest,
// the pore pressure's push on its base, u b (in gamma H^2), and, under an
// earthquake's horizontal load, the moment about the circle's centre of a
// horizontal force W out of the slope at its centre of gravity, over the
// radius (zero without the load); the arm of the strength on its base
// about the centre, over the radius: 1 on the arc, (yc + D) / R along the
// base, where the base is level and its shear horizontal; and the load on
// the crest above it (in gamma H^2).
struct Slice {
  double width, weight, sin_alpha, cos_alpha, uplift, sway;
  double arm = 1;
  double load = 0;
};

// The slices: `count` across the slip, those holding the toe, the crest
// edge or an end of its run along the base split there, so that over each
// the ground is straight and the weight (trapezoid under the ground down to
// the chord of the arc, plus the circular segment under the chord; along
// the base, the trapezoid down to it) is exact.
std::vector<Slice> slices_of(const Section& section, const Arc& arc, int count);

}  // namespace telk
