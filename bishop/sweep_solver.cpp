#include "bishop/sweep_solver.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> highest_first(std::vector<double> targets) {
  std::sort(targets.begin(), targets.end(), std::greater<>());
  targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
  return targets;
}

}  // namespace

SweepSolver::SweepSolver(const Ground& ground, const Precision& precision,
                         std::vector<double> targets)
    : ground_(ground),
      falls_(falls_as_it_steepens(ground)),
      chains_(!falls_ && safer_when_lower(ground)),
      events_(water_table_events(ground)),
      precision_(precision),
      targets_(highest_first(std::move(targets))) {}

double SweepSolver::factor_of_safety(SweepNode& n, double beta) {
  // Where slopes start from the node's searches, the steepest angles'
  // come first, so that what a slope starts from never depends on which
  // slopes were asked for before it.
  if (falls_ && !n.steepest_solved) solve_steepest(Solve{&n});
  return solve_at(n, beta);
}

SlipAnswer SweepSolver::whole(const SweepNode& n, double beta, Leads* leads) const {
  Ground g = ground_;
  g.height = n.height;
  g.slope_angle = beta;
  return critical_arc(section_of(g), leads, kFinePrecision);
}

double SweepSolver::whole_factor_of_safety(SweepNode& n, double beta) {
  const auto found = n.whole.find(beta);
  if (found != n.whole.end()) return found->second;
  const double fs = whole(n, beta, nullptr).fs;
  ++solves_;
  n.whole.emplace(beta, fs);
  return fs;
}

void SweepSolver::solve_batch(const std::vector<Solve>& nodes,
                              const std::vector<WholeAt>& at, const RunEach& run_each) {
  // Each node and angle once, and none solved already.
  std::vector<WholeAt> fresh;
  for (const WholeAt& a : at) {
    const bool known = a.node->whole.count(a.beta) != 0 ||
                       std::any_of(fresh.begin(), fresh.end(), [&](const WholeAt& f) {
                         return f.node == a.node && f.beta == a.beta;
                       });
    if (!known) fresh.push_back(a);
  }
  std::vector<SlipAnswer> found(fresh.size());
  std::vector<Leads> leads(fresh.size());
  const auto whole_search = [&](std::size_t i) {
    found[i] = whole(*fresh[i].node, fresh[i].beta, &leads[i]);
  };
  const auto steepest_angles = [&](std::size_t i) {
    if (!solved(*nodes[i].node, nodes[i].down_to)) solve_steepest(nodes[i]);
  };
  // A whole search reads its node's height alone, which the steepest
  // angles' searches beside it leave as it is.
  if (!falls_) {
    run_each(nodes.size() + fresh.size(), [&](std::size_t i) {
      if (i < nodes.size()) steepest_angles(i);
      else whole_search(i - nodes.size());
    });
  } else {
    run_each(fresh.size(), whole_search);
  }
  for (std::size_t i = 0; i < fresh.size(); ++i) {
    SweepNode& n = *fresh[i].node;
    const double beta = fresh[i].beta;
    ++solves_;
    n.whole.emplace(beta, found[i].fs);
    // Refined to the last digits, at least as far as the node's own
    // searches refine; and where the factor of safety falls, a start for
    // the node's slopes within kWarmReach, and a point the steepest angles'
    // searches bracket from.
    if (falls_ && n.fs.count(beta) == 0) {
      n.searches.emplace(beta, std::move(leads[i]));
      n.fs.emplace(beta, found[i].fs);
      n.arcs.emplace(beta, found[i].arc);
    }
  }
  if (falls_) run_each(nodes.size(), steepest_angles);
}

double SweepSolver::solve_at(SweepNode& n, double beta) {
  const auto found = n.fs.find(beta);
  if (found != n.fs.end()) return found->second;
  // Where the factor of safety falls, a slope within kWarmReach of one of
  // the node's whole searches starts from what the nearest found, as
  // slopes a few degrees apart share their valleys; one further off is
  // searched whole, as the first is.  Only from the node's own: a halving
  // searched from its neighbour's circles, a quarter of ln(h) off, can
  // miss a valley that opens between them (toe circles under a water
  // table; the cubics through such a node read 8% above a direct solve).
  // Where the steepest safe angle is scanned for, every slope is searched
  // whole, its answer that slope's alone: the scan refines from one angle
  // to the next up from the flattest slope, and over 60 random wet slopes
  // a row so refined read up to 0.17 degrees steeper than a direct solve
  // at 6 of 180 angles; searched whole, at none, in about the same time.
  auto nearest = n.searches.end();
  for (auto s = n.searches.begin(); falls_ && s != n.searches.end(); ++s) {
    const double off = std::abs(beta - s->first);
    if (off <= kWarmReach && (nearest == n.searches.end() || off < std::abs(beta - nearest->first)))
      nearest = s;
  }
  Ground g = ground_;
  g.height = n.height;
  g.slope_angle = beta;
  const Section section = section_of(g);
  const SlipAnswer c = nearest != n.searches.end()
                           ? critical_arc_near(section, &nearest->second, precision_)
                           : critical_arc(section, &n.searches[beta], precision_);
  ++solves_;
  n.fs.emplace(beta, c.fs);
  n.arcs.emplace(beta, c.arc);
  return c.fs;
}

double SweepSolver::steepest_angle(SweepNode& n, double target) {
  if (!solved(n, target)) {
    Solve solve{&n};
    solve.down_to = target;
    solve_steepest(solve);
  }
  const auto found = n.steepest.find(target);
  if (found != n.steepest.end()) return found->second;
  // A target the sweep did not name: after those, from the nearest above.
  double above = kNaN;
  for (const double t : targets_) {
    if (t > target) above = n.steepest.at(t);
  }
  const double angle = steepest(n, target, above, kNaN, above, kNaN).angle;
  n.steepest.emplace(target, angle);
  return angle;
}

void SweepSolver::solve_steepest(const Solve& solve) {
  SweepNode& n = *solve.node;
  // Highest target first, whose crossing is the flattest.  Under a water
  // table every slope up to it reaches the next target too, whose scan
  // starts there, or at a taller slope's angle for it where that is
  // steeper; where the factor of safety falls, each search starts where
  // the solve says, else from the last crossing with its bracket's slope.
  double above = kNaN, slope = kNaN;
  const SweepNode* reference =
      chains_ && solve.reference != nullptr && solve.reference->height >= n.height
          ? solve.reference
          : nullptr;
  for (const double target : targets_) {
    if (!falls_ && target < solve.down_to) break;
    const auto known = n.steepest.find(target);
    if (known != n.steepest.end()) {
      above = known->second, slope = n.slopes.at(target);
      continue;
    }
    double clear_to = above, guess = kNaN, from = above;
    if (reference != nullptr) {
      const auto taller = reference->steepest.find(target);
      if (taller != reference->steepest.end() && !(taller->second <= clear_to))
        clear_to = taller->second;
    }
    const auto g = solve.guesses.find(target);
    if (g != solve.guesses.end()) guess = g->second;
    if (solve.start != nullptr) {
      const auto a = solve.start->steepest.find(target), b = solve.start->slopes.find(target);
      if (a != solve.start->steepest.end()) from = a->second;
      if (b != solve.start->slopes.end()) slope = b->second;
    }
    const Steepest found = steepest(n, target, clear_to, guess, from, slope);
    above = found.angle;
    if (found.slope == found.slope) slope = found.slope;
    n.steepest.emplace(target, found.angle);
    n.slopes.emplace(target, slope);
  }
  n.steepest_solved = n.steepest.size() >= targets_.size();
}

Steepest SweepSolver::steepest(SweepNode& n, double target, double clear_to, double guess,
                               double from, double slope) {
  SteepestSearch s{precision_.angle_tolerance, falls_};
  s.events = events_;
  if (!falls_) s.clear_to = clear_to;
  s.guess = guess;
  s.from = from;
  if (slope == slope) s.slope = slope;
  return steepest_safe_angle([&](double beta) { return solve_at(n, beta); }, n.fs, target, s);
}

void SweepSolver::solve_steepest(const std::vector<Solve>& nodes, const RunEach& run_each) {
  run_each(nodes.size(), [&](std::size_t i) {
    if (!solved(*nodes[i].node, nodes[i].down_to)) solve_steepest(nodes[i]);
  });
}

void SweepSolver::solve_factor_of_safety(const std::vector<SweepNode*>& nodes, double beta,
                                         const RunEach& run_each) {
  run_each(nodes.size(), [&](std::size_t i) { factor_of_safety(*nodes[i], beta); });
}

}  // namespace telk
