// The critical circle: the search's starts refined, the reach widened
// where the least lies on its bound, and the least kept, or the limit of
// ever longer slips along the base where that is lower; the answers made
// of it: the critical circle of a ground, the critical factor of safety per
// unit of strength, and the steepest safe angle for a target factor of
// safety.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "bishop/critical.h"
#include "bishop/crack.h"
#include "bishop/crest_level.h"
#include "bishop/equilibrium.h"
#include "bishop/load.h"
#include "bishop/search_grid.h"
#include "bishop/search_refine.h"
#include "bishop/steepest.h"

namespace telk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A valley the whole search found is refined again when a circle of its
// is less than 1% above the least of the refinements.
constexpr double kRefinedAgain = 1.01;

// Where a lead on the deepest dip's edge is refined from inside too: a
// share of that dip.
constexpr double kInsideDepth = 0.6;

// How near the crest edge, in the entry's terms, a valley the whole search
// refined is refined from across the edge too.
constexpr double kCreaseReach = 0.1;
constexpr double kAcrossLower = 1e-4;

// Whether two refinements ended in one valley (kOnePlace).
bool one_place(const SearchCircle& a, const SearchCircle& b) {
  return std::abs(a.exit - b.exit) + std::abs(a.entry - b.entry) + std::abs(a.depth - b.depth) <
         kOnePlace;
}

// Keeps `circle` among the leads, best first, at most kLeads of them.
void lead(Leads* leads, double fs, const SearchCircle& circle, int valley = -1) {
  if (leads == nullptr || !(fs < kInfinity)) return;
  std::vector<Leads::Lead>& kept = leads->kept;
  // Refinements that ended in one valley are one lead.
  if (std::any_of(kept.begin(), kept.end(),
                  [&](const Leads::Lead& l) { return one_place(l.circle, circle); }))
    return;
  kept.push_back({{fs, circle}, valley});
  std::sort(kept.begin(), kept.end(),
            [](const Leads::Lead& a, const Leads::Lead& b) { return a.fs < b.fs; });
  if (kept.size() > kLeads) kept.resize(kLeads);
}

// The soil over the base far behind the crest (`behind`) or far in front
// of the toe: its thickness, and the strength of its base per unit length.
struct LevelGround {
  double thickness, strength;
};
LevelGround level_ground(const Section& section, bool behind) {
  const double far = behind ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
  const double z = (behind ? 1 : 0) + section.base;
  const double u = pore_pressure(section, far, -section.base, z);
  const double weighs = 1 - section.shaking.vertical;
  return {z, section.cohesion + std::max(0.0, weighs * z - u) * section.tan_phi};
}

// Widens the search's reach fourfold while the least found lies on its
// bound and at or below `limit` (above it the answer is the limit, which
// ever longer slips tend to), refining the least within each new reach.
void widen(Section* section, SearchCircle* best_circle, double* best_fs, double limit,
           const Precision& precision, Leads* leads) {
  while (section->reach < kMostReach && *best_fs <= limit &&
         on_reach_bound(*section, *best_circle)) {
    section->reach *= 4;
    const SearchCircle c =
        nelder_mead(*section, compass(*section, *best_circle, precision.refine_step, precision),
                    precision.refine_step, precision);
    const double f = fs_of(*section, c);
    lead(leads, f, c);
    if (f < *best_fs) *best_fs = f, *best_circle = c;
  }
  if (leads != nullptr) leads->reach = section->reach;
}

// The critical arc of the circle found, or none; or the limit of ever
// longer slips along the base where that is lower.
SlipAnswer critical_of(const Section& section, const SearchCircle& circle, int unsolved) {
  const std::optional<Arc> arc = arc_of(section, circle);
  SlipAnswer best{kInfinity, {}, false, unsolved > 0};
  if (arc) best.arc = *arc, best.fs = arc_factor_of_safety(section, best.arc, kSlices, &best.floored);
  const double limit = sliding_factor_of_safety(section);
  if (limit < best.fs) best.fs = limit, best.floored = false, best.sliding = true;
  return best;
}

// The least the search finds, friction as it is (critical_arc); and the
// least of the circles it searches.
SlipAnswer least_arc(const Section& ground, Leads* leads, const Precision& precision);
SlipAnswer searched_arc(const Section& ground, Leads* leads, const Precision& precision);

// The answer found with friction, or the same slope's with phi = 0 where
// that is higher.  Bishop's normal force on a steep slice is its weight
// less the water's push, less the cohesion's lift c l sin(alpha) / F;
// where much water leaves it negative, the slice's friction takes
// strength away, and more friction gives a lower answer (down to none: a
// vertical cut with r_u 0.3 reads 0.383 at phi = 0, 0.270 at 20 degrees
// and 0 at 30 by circles alone).  A soil with friction is at least as strong as the same
// soil without, so the slope is at least as safe as with phi = 0, the
// classical analysis in which the moments about the centre do not depend
// on the normal forces.  That least is at most the found arc's own factor
// of safety with phi = 0: only below that is it searched for.  Without
// cohesion there is no strength without friction; the limit of sliding
// along the base is above its own frictionless limit, which bounds the
// frictionless least.
SlipAnswer at_least_frictionless(const Section& section, const SlipAnswer& found,
                                 const Precision& precision, Leads* leads) {
  if (!(section.cohesion > 0 && section.tan_phi > 0) || found.sliding ||
      !(found.fs < kInfinity))
    return found;
  const Section clay = frictionless_section(section);
  if (!(found.fs < arc_factor_of_safety(clay, found.arc, kSlices, nullptr))) return found;
  // Nor where a frictionless critical circle of a slope a little way off
  // is at most as safe here (the least with phi = 0 is at most its own):
  // a sweep's slopes then spare the search, and the arc not taken with it.
  if (leads != nullptr &&
      std::any_of(leads->frictionless.begin(), leads->frictionless.end(),
                  [&](const SearchCircle& c) { return fs_of(clay, c) <= found.fs; }))
    return found;
  Leads clay_leads;
  SlipAnswer without = least_arc(clay, leads != nullptr ? &clay_leads : nullptr, precision);
  if (leads != nullptr && !clay_leads.kept.empty()) {
    std::vector<SearchCircle>& kept = leads->frictionless;
    kept.push_back(clay_leads.kept.front().circle);
    if (kept.size() > kLeads) kept.erase(kept.begin());
  }
  if (!(without.fs > found.fs)) {
    SlipAnswer with = found;
    if (!without.sliding) with.not_taken = without.arc;
    return with;
  }
  without.frictionless = true;
  without.unsolved = found.unsolved;
  without.not_taken = found.arc;
  return without;
}

}  // namespace

double sliding_factor_of_safety(const Section& section) {
  const double kh = section.shaking.horizontal;
  if (!(kh > 0)) return kInfinity;
  double least = kInfinity;
  for (const bool behind : {true, false}) {
    const LevelGround g = level_ground(section, behind);
    if (g.thickness > 0) least = std::min(least, g.strength / (kh * g.thickness));
  }
  return least;
}

double sliding_yield_coefficient(const Section& section) {
  double least = kInfinity;
  for (const bool behind : {true, false}) {
    const LevelGround g = level_ground(section, behind);
    if (g.thickness > 0) least = std::min(least, g.strength / g.thickness);
  }
  return least;
}

double plane_factor_of_safety(const Section& section) {
  const double l = section.crest_x, ratio = section.water.pore_ratio;
  const double kh = section.shaking.horizontal, weighs = 1 - section.shaking.vertical;
  if (kh == 0 && weighs == 1) {
    const double fs = section.tan_phi * l;
    if (ratio == 0) return fs;
    return l > 0 ? fs * std::max(0.0, 1 - ratio * (1 + 1 / (l * l))) : 0;
  }
  // Under an earthquake's load, per unit of soil on the plane, the normal
  // stress is (1 - k_v) cos^2(beta) - k_h sin(beta) cos(beta) less r_u,
  // the shear (1 - k_v) sin(beta) cos(beta) + k_h cos^2(beta); both over
  // sin^2(beta), in l = 1 / tan(beta).
  if (!(l > 0)) return 0;
  const double normal = weighs * l * l - ratio * (1 + l * l) - kh * l;
  return section.tan_phi * std::max(0.0, normal) / (l * (weighs + kh * l));
}

namespace {

SlipAnswer least_arc(const Section& ground, Leads* leads, const Precision& precision) {
  if (leads != nullptr) leads->kept.clear(), leads->found.clear(), leads->reach = 1;
  // Without cohesion ever shallower circles tend to the plane just under
  // the face, the critical slip: tan(phi) / tan(beta) exactly, which the
  // search would only approach, and not at all on the flattest and
  // steepest faces.  With a pore-pressure ratio the effective stress on
  // that plane is (cos^2(beta) - r_u) gamma z: (1 - r_u sec^2(beta)) of
  // it, none where the water bears it all.  A water table's pressure
  // varies along the face: the search finds the slip.
  if (plane_is_critical(ground.cohesion, ground.water)) {
    SlipAnswer plane{plane_factor_of_safety(ground), kNoArc};
    const double limit = sliding_factor_of_safety(ground);
    if (limit < plane.fs) plane.fs = limit, plane.sliding = true;
    if (!crest_given(ground)) return plane;
    // A crack or a load on the crest leaves the shallowest slips as they
    // are, but may make a deeper one lower: the lower of the two.
    SlipAnswer found = searched_arc(ground, leads, precision);
    return found.fs < plane.fs ? found : plane;
  }
  return searched_arc(ground, leads, precision);
}

SlipAnswer searched_arc(const Section& ground, Leads* leads, const Precision& precision) {
  int unsolved = 0;
  Section section = ground;
  section.reach = load_reach(ground);
  section.unsolved = &unsolved;
  const GridStarts starts = grid_starts(section);
  SlipAnswer best{kInfinity, {}, false};
  SearchCircle best_circle{};
  auto keep_best = [&](const SearchCircle& c) {
    const double f = fs_of(section, c);
    lead(leads, f, c);
    if (f < best.fs) best.fs = f, best_circle = c;
    return f;
  };
  // Each start: a simplex, then a compass search that is sure on the
  // ranges' edges, then a simplex again; but a start whose simplex ends
  // where an earlier one's did (the grid's minima are often one valley's,
  // seen from several sides) would only follow it from there.
  std::vector<SearchCircle> settled;
  for (const Start& start : starts.valleys) {
    SearchCircle c =
        nelder_mead(section, start.circle, precision.settle_step, precision.settling());
    if (std::any_of(settled.begin(), settled.end(),
                    [&](const SearchCircle& s) { return one_place(s, c); }))
      continue;
    settled.push_back(c);
    c = nelder_mead(section, compass(section, c, precision.refine_step, precision),
                    precision.refine_step, precision);
    const double fs = keep_best(c);
    // Where arcs entering the face give way to arcs entering the crest,
    // the factor of safety has a crease, and a valley beside it may have
    // another just across it, which steps from this side stop at (a wet
    // slope's least, 0.17% lower, enters the crest 2% of a reach behind
    // the edge, beside a valley in the face 2% below it).  Refined from across
    // the edge too, and kept where it is another valley: lower by more
    // than kAcrossLower, not the same one a few ulps apart.
    if (std::abs(c.entry - 1) < kCreaseReach) {
      const SearchCircle across = nelder_mead(
          section,
          compass(section, {c.exit, 2 - c.entry, c.depth}, precision.refine_step, precision),
          precision.refine_step, precision);
      if (fs_of(section, across) < fs * (1 - kAcrossLower)) keep_best(across);
    }
  }
  // The edge's best by the compass first, which follows the edge where a
  // first simplex would step inside and down into the other valley.
  if (starts.upright.fs < kInfinity) {
    keep_best(nelder_mead(section,
                          compass(section, starts.upright.circle, precision.refine_step, precision),
                          precision.refine_step, precision));
  }
  // Over a deeper base the circles through the toe are a crease of the
  // factor of safety, between circles leaving on the face and slips along
  // the base in front of the toe, not the edge of the range they are
  // without one: a simplex's steps cross it, and can leave a valley along
  // it for one beside it (a wet, shaken slope at 29.25 degrees read 1.006,
  // a slip along the base, where the circle through the toe critical at
  // 29.2 reads 1.003).  So they are searched as an edge too, by the
  // compass, from the best circle found held to the toe.
  if (section.base > 0 && best.fs < kInfinity) {
    Section toe = section;
    toe.through_toe = true;
    keep_best(compass(toe, best_circle, precision.refine_step, precision));
  }
  // On that edge the least is often among the circles centred level with
  // the crest: their best, then small steps about it.
  const SearchCircle crest_level = best_crest_level_circle(section);
  keep_best(crest_level);
  keep_best(compass(section, crest_level, precision.crest_step, precision));
  widen(&section, &best_circle, &best.fs, sliding_factor_of_safety(section), precision, leads);
  if (leads != nullptr) {
    for (std::size_t i = 0; i < leads->kept.size(); ++i) leads->kept[i].valley = static_cast<int>(i);
    leads->found = leads->kept;
  }
  return critical_of(section, best_circle, unsolved);
}

}  // namespace

SlipAnswer critical_arc(const Section& ground, Leads* leads, const Precision& precision) {
  return at_least_frictionless(ground, least_arc(ground, leads, precision), precision, leads);
}

SlipAnswer critical_arc_near(const Section& ground, Leads* leads, const Precision& precision) {
  if (leads->found.empty()) return critical_arc(ground, leads, precision);
  int unsolved = 0;
  Section section = ground;
  section.reach = leads->reach;
  section.unsolved = &unsolved;
  const std::vector<Leads::Lead> from = leads->kept;
  leads->kept.clear();
  double least = kInfinity;
  SearchCircle best_circle{};
  auto refine = [&](const SearchCircle& start, int valley) {
    // From a circle that was critical a little way off: small steps about
    // it, then a simplex.
    const SearchCircle c =
        nelder_mead(section, compass(section, start, precision.near_step, precision, true),
                    precision.near_step, precision);
    const double f = fs_of(section, c);
    lead(leads, f, c, valley);
    if (f < least) least = f, best_circle = c;
  };
  for (const Leads::Lead& l : from) {
    refine(l.circle, l.valley);
    // A lead on the deepest dip's edge: a valley inside may open beside
    // it as the slope flattens and take over a few degrees on (a shaken
    // clay slope's at 75 degrees, the least from 70), which steps along
    // the edge never reach.  Refined from inside too.
    if (l.circle.depth == 1) refine({l.circle.exit, l.circle.entry, kInsideDepth}, -1);
  }
  // The valleys the whole search found, which the refinements since may
  // have left: refined again where a circle of theirs, as it is, is within
  // kRefinedAgain of the least.  A valley that comes back as the slope
  // steepens is not missed, and one far above costs one circle.
  // One that a lead above started from as it is (the first refinements
  // after a whole search start from what it found) would only end where
  // that did.  Nor is one whose lead was refined from it, and is still a
  // lead of its own, at least as low as the valley's circle as it is: that
  // lead started nearer the valley's least at this slope than the circle
  // the whole search found a few degrees off, and the two refinements
  // would end in the one valley (most do, and refining them costs a third
  // of a sweep's work).
  // Where the lead slid out, into another's valley or above it, the
  // valley is refined again.
  for (std::size_t j = 0; j < leads->found.size(); ++j) {
    const Leads::Lead& l = leads->found[j];
    const bool refined = std::any_of(from.begin(), from.end(), [&](const Leads::Lead& f) {
      return f.circle == l.circle;
    });
    if (refined) continue;
    const double as_is = fs_of(section, clamped(section, l.circle));
    const bool held = std::any_of(leads->kept.begin(), leads->kept.end(), [&](const Leads::Lead& k) {
      return k.valley == static_cast<int>(j) && k.fs <= as_is;
    });
    if (!held && as_is < least * kRefinedAgain) refine(l.circle, static_cast<int>(j));
  }
  widen(&section, &best_circle, &least, sliding_factor_of_safety(section), precision, leads);
  return at_least_frictionless(ground, critical_of(section, best_circle, unsolved), precision,
                               leads);
}

namespace {

double critical_fs(const Ground& ground) { return critical_arc(section_of(ground)).fs; }

}  // namespace

SlipAnswer critical_circle(const Ground& ground) {
  return in_ground_units(critical_arc(section_of(ground)), ground.height);
}

// In units of tan(phi) + c / (gamma H) = 1: c / (gamma H) = s and
// tan(phi) = 1 - s, on a slope of the angle (the 45 degrees, c = 0 and
// H = gamma = 1 given to section_of are replaced).
double critical_fs_per_strength(double slope_angle, double cohesion_share) {
  Section section = section_of({45, 0, 1, 1, slope_angle});
  section.cohesion = cohesion_share;
  section.tan_phi = 1 - cohesion_share;
  return critical_arc(section).fs;
}

double steepest_angle(const Ground& ground, double target_fs) {
  Ground g = ground;
  const auto fs = [&](double beta) {
    g.slope_angle = beta;
    return critical_fs(g);
  };
  SteepestSearch search{kFinePrecision.angle_tolerance, falls_as_it_steepens(ground)};
  search.events = water_table_events(ground);
  return steepest_safe_angle(fs, {}, target_fs, search).angle;
}

}  // namespace telk
