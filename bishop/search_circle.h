// The circles of the critical circle's search: each given by where it
// leaves the ground, where it enters and how deep it dips, three numbers
// on fixed ranges whatever the slope.
#pragma once

#include <optional>

#include "bishop/section.h"

namespace telk {

// Entry points reach this far behind the crest edge, and over a deeper
// base exits this far in front of the toe, in units of reach_unit(), times
// the section's reach: at first (reach 1) well beyond the critical circles
// of a frictionless slope on its firm base, which reach the furthest
// without an earthquake's load; the search widens it where its least lies
// on that bound (critical.h).
inline constexpr double kCrestReach = 2;
inline constexpr double kToeReach = 1;

struct SearchCircle {
  double exit;   // where it leaves: 0 at the toe to 1 at the crest edge, along the face;
                 // over a deeper base, in front of the toe by -exit reach_unit()
  double entry;  // where it enters: on the face below 1, else behind the crest
                 // edge by (entry - 1) reach_unit()
  double depth;  // up to 1, the share of the deepest dip that keeps its arc
                 // above the base and its ends on its lower half; from 1 to 2,
                 // on from the circle that touches the base to the deepest
                 // with its ends on its lower half, its slip following the base
  bool operator==(const SearchCircle&) const = default;
};

// Whether the search takes circles below the base (depth beyond 1): on
// every ground but a dry, still one on a base at the toe, whose critical
// circle never follows its base (its search is the table's, and stays so).
bool searches_below_base(const Section& section);

// The unit of the reach behind the crest and in front of the toe: the
// slope's width plus its height, plus twice the depth of a deeper base,
// whose deep circles reach as far again.
double reach_unit(const Section& section);

// Where x on the crest lies in the entry's terms.
double along_crest(const Section& section, double x);

// Its three numbers, for the refinements that move each in turn.
inline constexpr double SearchCircle::*kSearchNumbers[] = {
    &SearchCircle::exit, &SearchCircle::entry, &SearchCircle::depth};

// The circle with its numbers on their ranges: the exit on the face (or,
// over a deeper base, up to kToeReach reaches in front of the toe), the
// entry from the exit to kCrestReach reaches behind the crest edge, the
// depth from a skin to the deepest dip (1, or 2 below the base where the
// search takes circles there and the deepest dips below it).
SearchCircle clamped(const Section& section, const SearchCircle& circle);

// Its slip, or none: a vertical chord, both ends on the crest, or a chord
// too short to be a circle.  A depth beyond 1 where the deepest circle
// stays above the base is its depth 1.
std::optional<Arc> arc_of(const Section& section, const SearchCircle& circle);

// Whether the circle, clamped to its ranges, has a slip that follows the
// base.
bool follows_base(const Section& section, const SearchCircle& circle);

// Whether the circle lies on the bound of the search's reach: its entry
// the furthest behind the crest, or its exit the furthest in front of the
// toe.
bool on_reach_bound(const Section& section, const SearchCircle& circle);

// The factor of safety of the circle clamped to its ranges, with `slices`
// slices; +infinity where it has no arc, and where Bishop's equation has
// no root (counted in section.unsolved).
double fs_of(const Section& section, const SearchCircle& circle, int slices = kSlices);

}  // namespace telk
