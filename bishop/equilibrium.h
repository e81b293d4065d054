// Bishop's simplified method on one slip arc.
#pragma once

#include "bishop/section.h"

namespace telk {

// Bishop's simplified factor of safety of the soil above the arc, with
// `slices` slices; +infinity when nothing drives it.  *floored (when given)
// tells whether an m_alpha was floored.
double arc_factor_of_safety(const Section& section, const Arc& arc, int slices,
                            bool* floored);

}  // namespace telk
