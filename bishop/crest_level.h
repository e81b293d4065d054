// The circles centred level with the crest: the deepest, entering it
// upright, where with friction and much cohesion the least factor of
// safety often is, in a valley too narrow for the search's coarse grid.
#pragma once

#include "bishop/search_circle.h"

namespace telk {

// The least of them, on their own.
SearchCircle best_crest_level_circle(const Section& section);

}  // namespace telk
