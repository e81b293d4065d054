// The critical circle's search as the solver's files call it: a whole
// search, or refinements from the leads a search a little way off found.
#pragma once

#include <cstddef>
#include <vector>

#include "bishop/search_circle.h"
#include "bishop/search_grid.h"
#include "bishop/search_refine.h"

namespace telk {

// The best circles a search refined, best first: where the factor of
// safety has more valleys than one, the runners-up of a slope are where
// a slope a little way off may find its critical circle.
inline constexpr std::size_t kLeads = 4;
struct Leads {
  struct Lead : Start {
    int valley = -1;  // the lead of `found` it was refined from, by its place there
  };
  std::vector<Lead> found;  // by the last whole search
  std::vector<Lead> kept;   // by the last search or refinements
  double reach = 1;         // the reach they were found within
  // The critical circles with phi = 0 of the slopes whose frictionless
  // least was searched for (critical_arc), the latest last, at most
  // kLeads: a slope a little way off is shown at least as safe without
  // friction by one of them, most often, rather than by a search.
  std::vector<SearchCircle> frictionless;
};

// Without cohesion or a water table: the factor of safety of the plane
// just under the face, which ever shallower circles tend to and the
// critical one is.
double plane_factor_of_safety(const Section& section);

// Under an earthquake's load, what the factor of safety of ever longer
// slips along the base tends to: the level ground sliding on the base, per
// unit length c + ((1 - k_v) gamma z - u) tan(phi) against k_h gamma z, z
// the soil's thickness over it, behind the crest (H + D) or, over a deeper
// base, in front of the toe (D), the lower of the two; +infinity without
// the load.  Slips come as near it as one likes, so the least is at most
// this.
double sliding_factor_of_safety(const Section& section);

// The k_h at which sliding_factor_of_safety is 1, at the section's k_v.
double sliding_yield_coefficient(const Section& section);

// The most the search widens its reach to, in multiples of its first.
inline constexpr double kMostReach = 1024;

// The critical arc, in the section's units, by the whole search, its
// refinements to `precision`; with leads, what it refined is kept there.
// Where the least lies on the bound of the search's reach, the reach is
// widened fourfold and the least refined again, up to kMostReach, while
// it stays below sliding_factor_of_safety; the answer is the lower of the
// two.
// Friction never makes a slope less safe: with cohesion, the answer is at
// least the same slope's with phi = 0 (frictionless_section), whose search
// is needed only where the least with friction is below its own arc's
// factor of safety with phi = 0 (that is at least the frictionless least),
// and, with leads, below that of each of their frictionless circles.
SlipAnswer critical_arc(const Section& section, Leads* leads = nullptr,
                        const Precision& precision = kFinePrecision);

// The critical arc by refinements from the leads alone (those kept, and
// the valleys of the last whole search near the least), which keeps its
// own: for a sweep of slopes a little apart, a few milliseconds rather than
// tens.  It can miss a valley that none of them lies in, so a sweep
// searches whole now and then.  With no leads, the whole search.  At least
// the frictionless answer, as critical_arc's.
SlipAnswer critical_arc_near(const Section& section, Leads* leads, const Precision& precision);

}  // namespace telk
