// The solver's own units: lengths in units of the slope's height H and
// stresses in units of gamma H, in which a slope is its angle and two
// strengths.  Shared by the files of the solver only.
#pragma once

#include "bishop/bishop.h"

namespace telk {

struct Section {
  double crest_x;   // H / tan(beta) / H: where the face meets the crest
  double cohesion;  // c / (gamma H)
  double tan_phi;
};

Section section_of(const Ground& ground);

// A circle and the two ends of its slip arc, exit_x < entry_x, in the
// section's units; the arc is the circle's lower half between them.
struct Arc {
  double centre_x, centre_y, radius;
  double exit_x, exit_y, entry_x, entry_y;
};

// Bishop's simplified factor of safety of the soil above the arc; +infinity
// when nothing drives it.  *floored tells whether an m_alpha was floored.
double arc_factor_of_safety(const Section& section, const Arc& arc, int slices,
                            bool* floored);

}  // namespace telk
