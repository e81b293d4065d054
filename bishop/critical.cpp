// The critical circle: the search's starts refined, and the least kept;
// the answers made of it: the critical circle of a ground, the critical
// factor of safety per unit of strength, and the steepest angle for a
// target factor of safety by bisection on the slope angle.
#include <limits>
#include <optional>

#include "bishop/crest_level.h"
#include "bishop/equilibrium.h"
#include "bishop/search_grid.h"
#include "bishop/search_refine.h"

namespace telk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Critical {
  double fs;
  Arc arc;
  bool floored;
};

Critical critical_arc(const Section& section) {
  // Without cohesion ever shallower circles tend to the plane just under
  // the face, the critical slip: tan(phi) / tan(beta) exactly, which the
  // search would only approach, and not at all on the flattest and
  // steepest faces.
  if (section.cohesion == 0) {
    return {section.tan_phi * section.crest_x, {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN}, false};
  }
  const GridStarts starts = grid_starts(section);
  Critical best{kInfinity, {}, false};
  SearchCircle best_circle{};
  auto keep_best = [&](const SearchCircle& c) {
    const double f = fs_of(section, c);
    if (f < best.fs) best.fs = f, best_circle = c;
  };
  // Each start: a simplex, then a compass search that is sure on the
  // ranges' edges, then a simplex again.
  for (const Start& start : starts.valleys) {
    SearchCircle c = nelder_mead(section, start.circle, 0.05);
    c = compass(section, c, 0.01);
    keep_best(nelder_mead(section, c, 0.01));
  }
  // The edge's best by the compass first, which follows the edge where a
  // first simplex would step inside and down into the other valley.
  if (starts.upright.fs < kInfinity) {
    keep_best(nelder_mead(section, compass(section, starts.upright.circle, 0.01), 0.01));
  }
  // On that edge the least is often among the circles centred level with
  // the crest: their best, then small steps about it.
  const SearchCircle crest_level = best_crest_level_circle(section);
  keep_best(crest_level);
  keep_best(compass(section, crest_level, 0.001));
  const std::optional<Arc> arc = arc_of(section, best_circle);
  if (!arc) return {kInfinity, {}, false};
  best.arc = *arc;
  best.fs = arc_factor_of_safety(section, best.arc, kSlices, &best.floored);
  return best;
}

double critical_fs(const Ground& ground) { return critical_arc(section_of(ground)).fs; }

}  // namespace

Bishop critical_circle(const Ground& ground) {
  const Critical c = critical_arc(section_of(ground));
  const double h = ground.height;
  const Arc& a = c.arc;
  return {c.fs,
          {a.centre_x * h, a.centre_y * h, a.radius * h, a.entry_x * h, a.entry_y * h,
           a.exit_x * h, a.exit_y * h},
          c.floored};
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
  g.slope_angle = 90;
  if (critical_fs(g) >= target_fs) return 90;
  g.slope_angle = kLeastSlopeAngle;
  if (!(critical_fs(g) >= target_fs)) return kNaN;
  // The critical factor of safety falls as the slope steepens.
  double lo = kLeastSlopeAngle, hi = 90;
  while (hi - lo > 0.001) {
    g.slope_angle = (lo + hi) / 2;
    (critical_fs(g) >= target_fs ? lo : hi) = g.slope_angle;
  }
  return lo;
}

}  // namespace telk
