// The refinements of a search circle toward a least factor of safety, each
// from a start with a first step, the circle they end on on its ranges.
#pragma once

#include "bishop/search_circle.h"

namespace telk {

// How far a refinement goes: the step the compass halves down to, and how
// close the simplex's corners and how alike their values (a share of them)
// when it stops; and the slices a whole search's first simplex from each
// of the grid's starts cuts its circles in, which only takes it into a
// valley that later steps refine in full.
struct Precision {
  double least_step, corners, values;
  int settle_slices;
};

// To the last digits: the answer for one slope.
inline constexpr Precision kFinePrecision{1e-8, 1e-7, 1e-10, kSlices};

// For the nodes of a sweep, which a cubic reads to 2e-4 of the factor of
// safety: a circle 1e-5 off the least moves the factor of safety by some
// 1e-10 of it, and a sweep on a deeper base solves in a third less time.
// The compass and the first simplex cut their circles in all the slices:
// in 16 a shaken slope's search ends 0.09% above its least, and vertical
// cuts whose circles run along a base 8 heights down settle in a valley
// 0.16% above it, past the factor of safety's margin of 0.05%.
inline constexpr Precision kNodePrecision{1e-5, 1e-5, 1e-9, kSlices};

// Nelder-Mead's simplex: quick inside the ranges, but it may stall on
// their edges.
SearchCircle nelder_mead(const Section& section, const SearchCircle& start, double step,
                         const Precision& precision = kFinePrecision, int slices = kSlices);

// Compass search with pattern moves: sure on the ranges' edges.
SearchCircle compass(const Section& section, SearchCircle x, double step,
                     const Precision& precision = kFinePrecision);

}  // namespace telk
