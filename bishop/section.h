// The solver's own units: lengths in units of the slope's height H and
// stresses in units of gamma H, in which a slope is its angle and two
// strengths; and the slip arc of a circle in them.  Shared by the files of
// the solver only.
#pragma once

#include <optional>

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

// The slip arc of the circle of centre (cx, cy) and radius r, in the
// section's units: where its lower half cuts the face and the crest.  None
// when it does not cut the ground twice, or its arc dips below the base.
std::optional<Arc> slip_arc(const Section& section, double cx, double cy, double r);

}  // namespace telk
