// The coarse grid of the critical circle's search: the circles its
// refinements start from.
#pragma once

#include <vector>

#include "bishop/search_circle.h"

namespace telk {

// A circle of the grid and its factor of safety.
struct Start {
  double fs;
  SearchCircle circle;
};

struct GridStarts {
  // The grid's least six local minima above the base, least first, then
  // its best circle that dips less than the deepest where that is not
  // among them; then, where the search takes circles below the base, the
  // least two local minima there.
  std::vector<Start> valleys;
  // Its best circle of the deepest dip above the base, whose arc enters
  // upright (or touches the base);
  // +infinity where the grid has no slip circle.
  Start upright;
};

GridStarts grid_starts(const Section& section);

}  // namespace telk
