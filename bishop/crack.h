// A tension crack behind the crest, in the section's units.
//
//        crest, y = 1        x_c
//   ___________________________|____________
//  /                           |  crack, no strength, water F d deep
//  face      soil that slides  |_ y = 1 - z   (z = Z / H, at most 1/2)
// /                          __/ the slip's arc, cut at its foot
// toe ______________________/
//
// The ground above the level 1 - z, behind the face, is cracked: an arc
// that rises into it ends where it reaches that level, at x_c on its
// rising side, and a vertical crack runs from there up to the ground (the
// crest, or the face where x_c lies under it), d = ground(x_c) - (1 - z)
// deep.  The soil beyond the crack is not part of the sliding mass.  An arc
// that stays below the level is as it is; one wholly above it is no slip.
#pragma once

#include "bishop/section.h"

namespace telk {

// The Rankine depth of a tension crack, 2c / (gamma tan(45 - phi / 2)),
// in the units of c / gamma.
double rankine_crack_depth(double friction_angle, double cohesion, double unit_weight);

// The ground's crack in the section's terms: its depth over H (Rankine's
// where asked), at most kDeepestCrack; its fill, and its water's unit
// weight over gamma.
inline constexpr double kDeepestCrack = 0.5;
void set_crack(const Ground& ground, Section* section);

// Cuts the arc at the crack, as above; false where it lies wholly in the
// cracked ground.
bool cut_at_crack(const Section& section, Arc* arc);

// The moment about the arc's centre, over its radius, of the water in its
// crack: gamma_w (F d)^2 / 2 horizontally out of the slope, (F d) / 3 above
// the crack's foot; positive where it drives the slip.
double crack_water_moment(const Section& section, const Arc& arc);

}  // namespace telk
