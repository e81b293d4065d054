// The refinements of a search circle toward a least factor of safety, each
// from a start with a first step, the circle they end on on its ranges.
#pragma once

#include "bishop/search_circle.h"
#include "bishop/tuning.h"

namespace telk {

// Nelder-Mead's simplex: quick inside the ranges, but it may stall on
// their edges.  Its circles are cut in the precision's slices.
SearchCircle nelder_mead(const Section& section, const SearchCircle& start, double step,
                         const Precision& precision = kFinePrecision);

// Compass search with pattern moves: sure on the ranges' edges.  From a
// circle critical a little way off (`from_near`), a step that moves on for
// more than kCompassRun circles is far too short for the valley it
// follows, and doubles, up to the first: such a refinement's steps of
// 3e-8 crawled along a valley by the toe for half a million circles.
SearchCircle compass(const Section& section, SearchCircle x, double step,
                     const Precision& precision = kFinePrecision, bool from_near = false);

}  // namespace telk
