// A uniform vertical pressure on the crest, in the section's units: q
// over gamma H, from x = L + A / H to L + (A + B) / H (L the crest's edge).
// It weighs on the slices under it, in the moment that drives the slip and
// in the friction on their bases; pore pressures and an earthquake's load
// stay the soil's.
#pragma once

#include "bishop/search_grid.h"
#include "bishop/section.h"

namespace telk {

void set_load(const Ground& ground, Section* section);

// The load on the ground between x0 and x1 (x0 <= x1), in gamma H^2.
double load_between(const Section& section, double x0, double x1);

// Under a load that reaches the crest's edge, ever smaller circles about
// the edge tend to a factor of safety of their own, the load and the
// cohesion scaling with their size and the weight falling away faster:
// the edge giving way under the load, which may be the critical slip and
// which no start of the coarse grid lies near.  The best of a few such
// circles a thousandth of the reach across, as a start; false without
// such a load.
bool loaded_edge_start(const Section& section, Start* start);

}  // namespace telk
