// The solver at nodes a quarter apart in ln(h), each solved once when a
// row first needs it, and the rows between read off a cubic through the
// four nodes around them, lowered by the margins of sweep_answers.h so
// that nothing is on the unsafe side of a direct solve at the row's
// height.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "bishop/cubic.h"
#include "bishop/sweep_solver.h"
#include "bishop/sweep_strategies.h"
#include "bishop/tuning.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

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

double key_of(std::int64_t ticks) { return static_cast<double>(ticks) * (kNodeSpacing / kTicks); }

class NodeAnswers : public SolvedAnswers {
 public:
  NodeAnswers(const Ground& ground, double highest, const SweepRun& run)
      : SolvedAnswers(ground, kNodePrecision, run),
        top_((static_cast<std::int64_t>(std::floor(ticks_of(highest) / kTicks)) + 3) * kTicks) {}

  double factor_of_safety(double h, double beta) override {
    if (!solvable(h, beta)) return kNaN;
    const double ticks = ticks_of(h);
    CubicPiece& p = fs_pieces_[beta];
    if (!(ticks >= p.from && ticks < p.to)) {
      p = piece_about(
          ticks, kTicks, kLeastSpacing,
          [&](std::int64_t at) { return std::log(solver_.factor_of_safety(node(at), beta)); },
          [](double v) { return std::abs(v) < kInfinity; },
          [&](std::int64_t k, std::int64_t spacing) {
            return circles_follow(k, spacing, [&](std::int64_t at) { return &node(at).arcs.at(beta); });
          },
          [&](std::int64_t first, std::int64_t spacing) {
            // Where slopes start from a node's searches, its steepest
            // angles' come first.
            std::vector<std::int64_t> unsolved;
            std::vector<SweepNode*> nodes;
            for (std::int64_t at = first; at <= first + 5 * spacing; at += spacing) {
              SweepNode& n = node(at);
              if (n.fs.count(beta) == 0) nodes.push_back(&n);
              if (solver_.falls() && !n.steepest_solved) unsolved.push_back(at);
            }
            solve_steepest(unsolved, kNaN);
            solver_.solve_factor_of_safety(nodes, beta, run_.run_each);
          },
          kSweepFsTolerance);
    }
    return std::exp(p.at(ticks)) / (1 + kSweepFsError);
  }

  double steepest_angle(double h, double target) override {
    if (!(h > 0)) return kNaN;
    const double ticks = ticks_of(h);
    CubicPiece& p = steepest_pieces_[target];
    if (!(ticks >= p.from && ticks < p.to)) {
      p = piece_about(
          ticks, kTicks, kLeastSpacing,
          [&](std::int64_t at) { return solver_.steepest_angle(node(at), target); }, inside,
          [&](std::int64_t k, std::int64_t spacing) {
            return circles_follow(k, spacing, [&](std::int64_t at) -> const Arc* {
              SweepNode& n = node(at);
              const auto a = n.arcs.find(solver_.steepest_angle(n, target));
              return a != n.arcs.end() ? &a->second : nullptr;
            });
          },
          [&](std::int64_t first, std::int64_t spacing) {
            solve_steepest_ahead(first, spacing, target);
          },
          kSweepAngleTolerance);
    }
    const double angle = p.at(ticks);
    return angle == 90 ? 90 : angle - kSweepAngleError;
  }

 private:
  static double ticks_of(double h) { return std::log(h) / kNodeSpacing * kTicks; }

  SweepNode& node(std::int64_t ticks) {
    SweepNode& n = nodes_[ticks];
    if (n.height == 0) n.height = std::exp(key_of(ticks));
    return n;
  }

  // The steepest angles for the target of the six nodes from `first`,
  // `spacing` apart, that are not solved yet, at once; and where some
  // are, of nodes further up the widest spacing, to the sweep's last,
  // which the rows above ask for next: kNodesAhead more.  A halving
  // that needs one node alone has the next node up its spacing beside
  // it, where the angle is scanned for: the rows above most often ask
  // for that spacing in the next interval too (a lone halving left the
  // other threads idle for a quarter of a 400-row sweep), and there each
  // node's answers are its own, whatever is solved beside it.
  void solve_steepest_ahead(std::int64_t first, std::int64_t spacing, double target) {
    std::vector<std::int64_t> ticks;
    for (std::int64_t at = first; at <= first + 5 * spacing; at += spacing) {
      if (!solver_.solved(node(at), target)) ticks.push_back(at);
    }
    if (ticks.empty()) return;
    const std::int64_t next = first + 6 * spacing;
    if (ticks.size() == 1 && spacing < kTicks && !solver_.falls() && next <= top_ &&
        !solver_.solved(node(next), target))
      ticks.push_back(next);
    const std::size_t most = ticks.size() + kNodesAhead;
    const double last = static_cast<double>(first + 5 * spacing);
    std::int64_t at = (static_cast<std::int64_t>(std::floor(last / kTicks)) + 1) * kTicks;
    for (; ticks.size() < most && at <= top_; at += kTicks) {
      if (!solver_.solved(node(at), target)) ticks.push_back(at);
    }
    solve_steepest(ticks, target);
  }

  // Where the solver chains, the taller node a node's scans start from:
  // the sweep's last node for every fourth node of the widest spacing,
  // the next of those above for the rest; so that two batches, after the
  // last node, solve all, and which node a node starts from is its own.
  std::int64_t reference(std::int64_t ticks) const {
    if (!solver_.chains() || ticks >= top_) return ticks;
    constexpr std::int64_t kEvery = 4 * kTicks;
    const std::int64_t above =
        (static_cast<std::int64_t>(std::floor(static_cast<double>(ticks) / kEvery)) + 1) * kEvery;
    return ticks % kEvery == 0 || above > top_ ? top_ : above;
  }

  // The nodes at these ticks, for the target (every target where it is
  // not a number), their references first: the batches of nodes, then of
  // their references, then of theirs, solved last first.
  void solve_steepest(const std::vector<std::int64_t>& ticks, double target) {
    std::vector<std::vector<std::int64_t>> batches = {ticks};
    for (;;) {
      std::vector<std::int64_t> references;
      for (const std::int64_t at : batches.back()) {
        const std::int64_t r = reference(at);
        if (r != at && !solver_.solved(node(r), target) &&
            std::find(references.begin(), references.end(), r) == references.end())
          references.push_back(r);
      }
      if (references.empty()) break;
      batches.push_back(references);
    }
    for (auto batch = batches.rbegin(); batch != batches.rend(); ++batch) {
      std::vector<SweepSolver::Solve> solves;
      for (const std::int64_t at : *batch) {
        SweepNode& n = node(at);
        const std::int64_t r = reference(at);
        if (solver_.solved(n, target)) continue;
        solves.push_back({&n, r != at ? &node(r) : nullptr});
        solves.back().down_to = target;
        // Where the factor of safety falls, each search starts where the
        // nodes of earlier batches point.
        if (solver_.falls()) {
          for (const double t : solver_.targets())
            solves.back().guesses[t] = neighbours_steepest(at, t);
        }
      }
      solver_.solve_steepest(solves, run_.run_each);
    }
  }

  // The steepest angle for the target at the node along the line in ln(h)
  // through the two nearest nodes solved; the nearest's alone where only
  // one is; not a number where none is.
  double neighbours_steepest(std::int64_t ticks, double target) const {
    const double at = key_of(ticks);
    double keys[2] = {kNaN, kNaN}, angles[2] = {kNaN, kNaN};
    int found = 0;
    for (const auto& [k, m] : nodes_) {
      const auto s = m.steepest.find(target);
      if (k == ticks || s == m.steepest.end() || !inside(s->second)) continue;
      const double key = key_of(k), off = std::abs(key - at);
      if (found == 0 || off < std::abs(keys[0] - at)) {
        keys[1] = keys[0], angles[1] = angles[0];
        keys[0] = key, angles[0] = s->second;
      } else if (found == 1 || off < std::abs(keys[1] - at)) {
        keys[1] = key, angles[1] = s->second;
      }
      found = std::min(found + 1, 2);
    }
    if (found < 2) return angles[0];
    const double x = (at - keys[0]) / (keys[1] - keys[0]);
    return std::clamp(angles[0] + x * (angles[1] - angles[0]), kLeastSlopeAngle, 90.0);
  }

  const std::int64_t top_;  // the widest spacing's last node the sweep asks for, in ticks
  std::map<std::int64_t, SweepNode> nodes_;  // by ln(h) in ticks
  // The pieces the last rows were read off, by slope angle and by target.
  std::map<double, CubicPiece> fs_pieces_, steepest_pieces_;
};

}  // namespace

std::unique_ptr<SweepAnswers> node_answers(const Ground& ground, double highest,
                                           const SweepRun& run) {
  return std::make_unique<NodeAnswers>(ground, highest, run);
}

double nodes_needed(double lowest, double highest) {
  return std::log(highest / lowest) / kNodeSpacing + 4;
}

}  // namespace telk
