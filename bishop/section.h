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
  Water water = {};  // with gamma_w / gamma for its unit weight
  double base = 0;   // D / H
  Shaking shaking = {};
};

Section section_of(const Ground& ground);

// The ground's height at x: zero at and before the toe, one on the crest.
double ground_y(const Section& section, double x);

// The pore pressure at (x, y), in units of gamma H, where that point lies
// under a slice's share `depth` of soil (the pore-pressure ratio's rule) or
// under the water table.
double pore_pressure(const Section& section, double x, double y, double depth);

// A circle and the two ends of its slip arc, exit_x < entry_x, in the
// section's units; the arc is the circle's lower half between them.
struct Arc {
  double centre_x, centre_y, radius;
  double exit_x, exit_y, entry_x, entry_y;
};

// The slip arc of the circle of centre (cx, cy) and radius r, in the
// section's units: where its lower half cuts the face, the crest and, over
// a deeper base, the ground in front of the toe.  None when it does not
// cut the ground twice, or its arc dips below the base (by more than
// below_base).
std::optional<Arc> slip_arc(const Section& section, double cx, double cy, double r,
                            double below_base = 0);

}  // namespace telk
