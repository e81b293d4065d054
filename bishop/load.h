// A uniform vertical pressure on the crest, in the section's units: q
// over gamma H, from x = L + A / H to L + (A + B) / H (L the crest's edge).
// It weighs on the slices under it, in the moment that drives the slip and
// in the friction on their bases; pore pressures and an earthquake's load
// stay the soil's.
#pragma once

#include <vector>

#include "bishop/search_grid.h"
#include "bishop/section.h"

namespace telk {

void set_load(const Ground& ground, Section* section);

// The load on the ground between x0 and x1 (x0 <= x1), in gamma H^2.
double load_between(const Section& section, double x0, double x1);

// Starts for the critical circle's search under a load, which no start of
// the coarse grid may lie near where the load is narrow: the best of the
// circles from the face, up to just under the crest's edge, that enter
// under the load, from its near edge to its far edge (a reach unit on, on
// the whole crest); and where the load reaches the crest's edge, the best of a few
// circles a thousandth of the reach across about the edge.  Ever smaller
// circles there tend to a factor of safety of their own, the load and the
// cohesion scaling with their size and the weight falling away faster:
// the edge giving way under the load.  None without a load, or for one
// beyond the most the search reaches (critical.h's kMostReach).
std::vector<Start> load_starts(const Section& section);

// The search's first reach (search_circle.h) under a load: wide enough
// that circles entering a little beyond the load's far edge (a reach unit
// past its near edge, for a load on the whole crest) lie within it, where
// that is within kMostReach; else, and without a load, 1.
double load_reach(const Section& section);

}  // namespace telk
