#include "bishop/sweep_path.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "bishop/critical.h"
#include "bishop/steepest.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The nodes' spacing in ln(h): a quarter, some 28% in height.  A cubic
// through four nodes follows the factor of safety and the steepest angle,
// smooth in ln(h), to well within their margins.
constexpr double kStep = 0.25;

// Nodes are keyed by ln(h) in ticks of 1/kTicks of kStep, so that an
// interval's halvings are nodes too.
constexpr std::int64_t kTicks = 1024;

// How far, in degrees, a slope's search may start from the circles found
// for another slope at the same height.  Further, its valleys may lie
// elsewhere (a sweep once read 0.3 degrees steeper than the solver 40
// degrees from the node's whole search).
constexpr double kWarmReach = 8;

// The least spacing an interval is halved to, in ticks: a thousandth of
// the height.  Where the cubics still disagree there (a kink, where one
// valley takes over from another), the lower end's value is taken: the
// factor of safety and the steepest angle both fall as the height rises.
constexpr std::int64_t kLeastSpacing = 4;

// How far, as a share of its radius, a critical circle's ends and depth
// may part from the cubics through its neighbours' before the circle is
// taken to have jumped to another valley.
constexpr double kCircleTolerance = 0.02;

// The steepest angle found to this many degrees: at a row's own height,
// and at a node, whose angle is read through a cubic and lowered by its
// margin, a hundred times as wide.
constexpr double kAngleTolerance = 1e-4;
constexpr double kNodeAngleTolerance = 1e-3;

// The solves a row costs, solved at its own height, and a node: a sweep
// whose rows cost fewer than the nodes it would need (without halvings)
// is solved row by row.
constexpr double kSolvesANode = 12;
constexpr double kSolvesARow = 8;

// The weights at x of the cubic through the values at -1, 0, 1 and 2.
void cubic_weights(double x, double w[4]) {
  const double a = x + 1, b = x, c = x - 1, d = x - 2;
  w[0] = -(b * c * d) / 6;
  w[1] = a * c * d / 2;
  w[2] = -(a * b * d) / 2;
  w[3] = a * b * c / 6;
}

double cubic_at(const double v[4], double x) {
  double w[4];
  cubic_weights(x, w);
  return w[0] * v[0] + w[1] * v[1] + w[2] * v[2] + w[3] * v[3];
}

// Whether the cubics through v[0..3], v[1..4] and v[2..5], nodes a
// spacing apart, agree within `tolerance` at a quarter, half and three
// quarters of the way from v[2] to v[3].
bool cubics_agree(const double v[6], double tolerance) {
  for (const double x : {0.25, 0.5, 0.75}) {
    const double middle = cubic_at(v + 1, x);
    if (!(std::abs(middle - cubic_at(v, x + 1)) <= tolerance &&
          std::abs(middle - cubic_at(v + 2, x - 1)) <= tolerance))
      return false;
  }
  return true;
}

// Whether the critical circles at the six nodes about the interval from
// `k`, `spacing` apart, follow cubics as the values must: where they
// leave the face, where they enter the ground and how deep they go,
// within kCircleTolerance of the radius at `k`.  Without circles to tell
// (no cohesion: the factor of safety is the plane's, smooth), they do.
template <typename ArcOf>
bool circles_follow(std::int64_t k, std::int64_t spacing, ArcOf arc) {
  double exits[6], entries[6], depths[6], radius = 0;
  for (int i = 0; i < 6; ++i) {
    const Arc* a = arc(k + (i - 2) * spacing);
    if (a == nullptr || !std::isfinite(a->centre_y - a->radius)) return true;
    exits[i] = a->exit_x, entries[i] = a->entry_x, depths[i] = a->centre_y - a->radius;
    if (i == 2) radius = a->radius;
  }
  const double tolerance = kCircleTolerance * radius;
  return cubics_agree(exits, tolerance) && cubics_agree(entries, tolerance) &&
         cubics_agree(depths, tolerance);
}

bool inside(double angle) { return angle > 0 && angle < 90; }

double key_of(std::int64_t ticks) { return static_cast<double>(ticks) * (kStep / kTicks); }

}  // namespace

// A node: the slope at one height, solved at the angles and for the
// targets rows have asked for, with the circles its searches found.
struct SweepNode {
  double key, height;
  // What each whole search found, by its slope angle.
  std::map<double, Leads> searches;
  std::map<double, double> fs;        // by slope angle
  std::map<double, Arc> arcs;         // the critical circle, by slope angle
  std::map<double, double> steepest;  // by target
};

SweepPath::SweepPath(const Ground& ground, double lowest, double highest, std::int64_t rows)
    : ground_(ground), falls_(falls_as_it_steepens(ground)), events_(water_table_events(ground)) {
  // The nodes a sweep needs: its span in ln(h), and some either side.
  const double span = std::log(highest / lowest) / kStep + 4;
  direct_ = !(lowest > 0 && highest >= lowest) ||
            static_cast<double>(rows) * kSolvesARow <= span * kSolvesANode;
}

SweepPath::~SweepPath() = default;

SweepNode& SweepPath::node(double key, double height) {
  std::unique_ptr<SweepNode>& n = nodes_[key];
  if (!n) {
    n = std::make_unique<SweepNode>();
    n->key = key;
    n->height = height;
  }
  return *n;
}

SweepNode& SweepPath::tick_node(std::int64_t ticks) {
  const double key = key_of(ticks);
  return node(key, std::exp(key));
}

double SweepPath::node_fs(SweepNode& n, double beta) {
  const auto found = n.fs.find(beta);
  if (found != n.fs.end()) return found->second;
  Ground g = ground_;
  g.height = n.height;
  g.slope_angle = beta;
  const Section section = section_of(g);
  // A slope within kWarmReach of one of the node's whole searches starts
  // from what the nearest found, as slopes a few degrees apart share their
  // valleys; one further off is searched whole, as the first is.  Only
  // from the node's own: a halving searched from its neighbour's circles,
  // a quarter of ln(h) off, missed a valley that opened between them (toe
  // circles under a water table), and the cubics through it read 8% above
  // a direct solve.  Where the steepest safe angle is scanned for, every
  // slope is searched whole: the scan refines from one angle to the next
  // up from the flattest slope, and over 60 random wet slopes a row solved
  // alone so read up to 0.17 degrees steeper than a direct solve at 6 of
  // 180 angles (5 with whole searches 2 degrees apart); searched whole, at
  // none, in about the same time.
  auto nearest = n.searches.end();
  for (auto s = n.searches.begin(); falls_ && s != n.searches.end(); ++s) {
    const double off = std::abs(beta - s->first);
    if (off <= kWarmReach && (nearest == n.searches.end() || off < std::abs(beta - nearest->first)))
      nearest = s;
  }
  // A node's answer is read through a cubic and lowered by its margin,
  // which the node's coarser refinements are well within; a row solved at
  // its own height is the solver's answer to the last digits.
  const Precision& precision = direct_ ? kFinePrecision : kNodePrecision;
  const Critical c = nearest != n.searches.end()
                         ? critical_arc_near(section, &nearest->second, precision)
                         : critical_arc(section, &n.searches[beta], precision);
  ++solves_;
  n.fs.emplace(beta, c.fs);
  n.arcs.emplace(beta, c.arc);
  return c.fs;
}

double SweepPath::node_steepest(SweepNode& n, double target) {
  const auto found = n.steepest.find(target);
  if (found != n.steepest.end()) return found->second;
  // Under a water table every slope up to a higher target's angle reaches
  // this one: the highest target asked for is scanned first, and each
  // lower one starts where the one above ended.
  double clear_to = kNaN;
  for (auto t = targets_.rbegin(); !falls_ && t != targets_.rend() && *t > target; ++t) {
    const auto higher = n.steepest.find(*t);
    clear_to = higher != n.steepest.end() ? higher->second : node_search(n, *t, clear_to);
  }
  return node_search(n, target, clear_to);
}

// Where the factor of safety falls, from where the neighbours' angles
// point, or the last angle found; else the scan from clear_to.
double SweepPath::node_search(SweepNode& n, double target, double clear_to) {
  SteepestSearch search{direct_ ? kAngleTolerance : kNodeAngleTolerance, falls_};
  search.events = events_;
  search.clear_to = clear_to;
  if (!direct_) search.guess = neighbours_steepest(n, target);
  const auto last = last_steepest_.find(target);
  if (last != last_steepest_.end()) search.from = last->second;
  const auto slope = last_slope_.find(target);
  if (slope != last_slope_.end()) search.slope = slope->second;
  const Steepest s = steepest_safe_angle([&](double beta) { return node_fs(n, beta); }, n.fs,
                                         target, search);
  if (s.slope == s.slope) last_slope_[target] = s.slope;
  n.steepest.emplace(target, s.angle);
  last_steepest_[target] = s.angle;
  return s.angle;
}

// The steepest angle for the target at node n along the line in ln(h)
// through the two nearest nodes that have one; the nearest's alone where
// only one has; not a number where none has.
double SweepPath::neighbours_steepest(const SweepNode& n, double target) const {
  const SweepNode* nearest[2] = {nullptr, nullptr};
  double angles[2] = {kNaN, kNaN};
  for (const auto& [key, m] : nodes_) {
    const auto found = m->steepest.find(target);
    if (m.get() == &n || found == m->steepest.end() || !inside(found->second)) continue;
    const double off = std::abs(key - n.key);
    if (nearest[0] == nullptr || off < std::abs(nearest[0]->key - n.key)) {
      nearest[1] = nearest[0], angles[1] = angles[0];
      nearest[0] = m.get(), angles[0] = found->second;
    } else if (nearest[1] == nullptr || off < std::abs(nearest[1]->key - n.key)) {
      nearest[1] = m.get(), angles[1] = found->second;
    }
  }
  if (nearest[1] == nullptr) return angles[0];
  const double x = (n.key - nearest[0]->key) / (nearest[1]->key - nearest[0]->key);
  return std::clamp(angles[0] + x * (angles[1] - angles[0]), kLeastSlopeAngle, 90.0);
}

double SweepPiece::at(double ticks) const {
  return cubic ? cubic_at(values, (ticks - origin) / spacing) : lower;
}

// The piece about `ticks` of the answer whose node values `value` gives:
// at the nodes' spacing where the cubic through the four nodes around it
// agrees with the ones through the four before and the four after, at a
// quarter, half and three quarters of the interval, within `tolerance`;
// else on halves, down to a tick.  Where the answer turns fast in ln(h),
// it has more nodes.  (Compared halfway with the one after alone, two
// cubics agreed where the steepest angle fell from 38 to 24 degrees
// between nodes, both 0.11 degrees too steep.)
//
// Where one valley takes over from another, the answer has a kink that
// all three cubics straddle: they agree with each other, yet round it
// off, 0.13 degrees below the answer once.  The critical circle jumps
// there, which its own cubics (`arc` gives a node's) tell: where they
// disagree, the values' cubics must agree four times as closely.
template <typename Value, typename Usable, typename ArcOf>
SweepPiece SweepPath::piece(double ticks, Value value, Usable usable, ArcOf arc,
                            double tolerance) {
  for (std::int64_t spacing = kTicks;; spacing /= 2) {
    const auto k = static_cast<std::int64_t>(std::floor(ticks / static_cast<double>(spacing))) * spacing;
    SweepPiece p;
    p.from = static_cast<double>(k);
    p.to = static_cast<double>(k + spacing);
    p.origin = p.from;
    p.spacing = static_cast<double>(spacing);
    bool usable_all = true;
    for (int i = 0; i < 4; ++i) {
      p.values[i] = value(k + (i - 1) * spacing);
      usable_all = usable_all && usable(p.values[i]);
    }
    // Where the answer is none or a vertical cut at both ends, it is so
    // between them: it falls as the height rises.
    const bool same_ends = p.values[1] == p.values[2] ||
                           (p.values[1] != p.values[1] && p.values[2] != p.values[2]);
    if (!usable_all && same_ends && !usable(p.values[1])) {
      p.cubic = false;
      p.lower = p.values[1];
      return p;
    }
    if (usable_all) {
      p.cubic = true;
      double values[6] = {value(k - 2 * spacing), p.values[0], p.values[1],
                          p.values[2],            p.values[3], value(k + 3 * spacing)};
      if (usable(values[0]) && usable(values[5])) {
        const double needed = circles_follow(k, spacing, arc) ? tolerance : tolerance / 4;
        if (cubics_agree(values, needed)) return p;
      }
    }
    if (spacing == kLeastSpacing) {
      p.cubic = false;
      p.lower = std::min(p.values[1], p.values[2]);  // not a number where either is
      if (!(p.values[1] == p.values[1] && p.values[2] == p.values[2])) p.lower = kNaN;
      return p;
    }
  }
}

double SweepPath::factor_of_safety(double h, double beta) {
  if (!(h > 0) || !(beta >= kLeastSlopeAngle && beta <= 90)) return kNaN;
  if (direct_) return node_fs(node(std::log(h), h), beta);
  const double ticks = std::log(h) / kStep * kTicks;
  SweepPiece& p = fs_pieces_[beta];
  if (!(ticks >= p.from && ticks < p.to)) {
    p = piece(
        ticks, [&](std::int64_t at) {
          return std::log(node_fs(tick_node(at), beta));
        },
        [](double v) { return std::abs(v) < kInfinity; },
        [&](std::int64_t at) { return &tick_node(at).arcs.at(beta); }, kSweepFsTolerance);
  }
  return std::exp(p.at(ticks)) / (1 + kSweepFsError);
}

double SweepPath::steepest_angle(double h, double target) {
  if (!(h > 0)) return kNaN;
  targets_.insert(target);
  if (direct_) return node_steepest(node(std::log(h), h), target);
  const double ticks = std::log(h) / kStep * kTicks;
  SweepPiece& p = steepest_pieces_[target];
  if (!(ticks >= p.from && ticks < p.to)) {
    p = piece(
        ticks, [&](std::int64_t at) {
          return node_steepest(tick_node(at), target);
        },
        inside,
        [&](std::int64_t at) -> const Arc* {
          SweepNode& n = tick_node(at);
          const auto a = n.arcs.find(node_steepest(n, target));
          return a != n.arcs.end() ? &a->second : nullptr;
        },
        kSweepAngleTolerance);
  }
  const double angle = p.at(ticks);
  return angle == 90 ? 90 : angle - kSweepAngleError;
}

}  // namespace telk
