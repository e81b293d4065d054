// The solver's own units: lengths in units of the slope's height H and
// stresses in units of gamma H, in which a slope is its angle and two
// strengths; and the slip arc of a circle in them.  Shared by the files of
// the solver only.
#pragma once

#include <limits>
#include <optional>

#include "bishop/bishop.h"

namespace telk {

// No circle: an arc whose numbers are not a number.
inline constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
inline constexpr Arc kNoArc = {kNotANumber, kNotANumber, kNotANumber, kNotANumber,
                               kNotANumber, kNotANumber, kNotANumber};

struct Section {
  double crest_x;   // H / tan(beta) / H: where the face meets the crest
  double cohesion;  // c / (gamma H)
  double tan_phi;
  Water water = {};  // with gamma_w / gamma for its unit weight
  double base = 0;   // D / H
  Shaking shaking = {};
  // For the critical circle's search: how far its circles reach, in
  // multiples of its first reach (search_circle.h), and where given, the
  // count of circles it passed over because Bishop's equation has no root
  // on them.
  double reach = 1;
  int* unsolved = nullptr;
  // For a search of the circles through the toe alone: every circle's
  // exit held at the toe.
  bool through_toe = false;
  // A tension crack (crack.h): its depth below the crest, at most half the
  // height, 0 for none; the share of it filled with water, and the water's
  // unit weight over gamma.  A load on the crest (load.h): its pressure
  // over gamma H, from load_from to load_to along x.
  double crack_depth = 0;
  double crack_fill = 0;
  double crack_water = 0;
  double load = 0;
  double load_from = 0, load_to = 0;
};

// Whether the ground is wet (a pore-pressure ratio or a water table).
bool wet(const Section& section);

// Whether a tension crack or a load on the crest is given.
inline bool crest_given(const Section& section) {
  return section.crack_depth > 0 || section.load > 0;
}

Section section_of(const Ground& ground);

// The ground's height at x: zero at and before the toe, one on the crest.
double ground_y(const Section& section, double x);

// The pore pressure at (x, y), in units of gamma H, where that point lies
// under a slice's share `depth` of soil (the pore-pressure ratio's rule) or
// under the water table.
double pore_pressure(const Section& section, double x, double y, double depth);

// Where the circle of `arc` dips below the base between its ends, by more
// than 1e-9 of its radius (a circle that touches the base, to the roundings
// of its numbers, is a circle): its base_from and base_to.
void follow_base(const Section& section, Arc* arc);

// The slip of the circle of centre (cx, cy) and radius r, in the section's
// units: where its lower half cuts the face, the crest and the ground in
// front of the toe, and where it dips below the base, the base.  None when
// it does not cut the ground twice.  A circle that passes the toe within
// `rounding` (a distance: a circle's numbers written to some decimals and
// read back) leaves there.
std::optional<Arc> slip_arc(const Section& section, double cx, double cy, double r,
                            double rounding = 0);

}  // namespace telk
