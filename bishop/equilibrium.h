// Bishop's simplified method on one slip.
#pragma once

#include "bishop/section.h"

namespace telk {

// Bishop's simplified factor of safety of the soil above the slip, with
// `slices` slices; +infinity when nothing drives it, not a number where
// Bishop's equation has no root.  *floored (when given) tells whether an
// m_alpha was floored.
double arc_factor_of_safety(const Section& section, const Arc& arc, int slices,
                            bool* floored);

// The horizontal seismic coefficient k_h at which the arc's factor of
// safety is 1 (at the section's k_v; its k_h is ignored): Bishop's equation
// at F = 1 is linear in k_h.  0 where the factor of safety is 1 or less
// without the load, +infinity where the load does not turn the soil
// toward the slip.
double arc_yield_coefficient(const Section& section, const Arc& arc, int slices);

}  // namespace telk
