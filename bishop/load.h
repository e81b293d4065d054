// A uniform vertical pressure on the crest, in the section's units: q
// over gamma H, from x = L + A / H to L + (A + B) / H (L the crest's edge).
// It weighs on the slices under it, in the moment that drives the slip and
// in the friction on their bases; pore pressures and an earthquake's load
// stay the soil's.
#pragma once

#include "bishop/section.h"

namespace telk {

void set_load(const Ground& ground, Section* section);

// The load on the ground between x0 and x1 (x0 <= x1), in gamma H^2.
double load_between(const Section& section, double x0, double x1);

}  // namespace telk
