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
  if (falls_ && !n.steepest_solved) solve_steepest(n);
  return solve_at(n, beta);
}

double SweepSolver::whole_factor_of_safety(SweepNode& n, double beta) {
  const auto found = n.whole.find(beta);
  if (found != n.whole.end()) return found->second;
  Ground g = ground_;
  g.height = n.height;
  g.slope_angle = beta;
  const double fs = critical_arc(section_of(g), nullptr, kFinePrecision).fs;
  ++solves_;
  n.whole.emplace(beta, fs);
  return fs;
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
  if (!n.steepest_solved) solve_steepest(n);
  const auto found = n.steepest.find(target);
  if (found != n.steepest.end()) return found->second;
  // A target the sweep did not name: after those, from the nearest above.
  double above = kNaN;
  for (const double t : targets_) {
    if (t > target) above = n.steepest.at(t);
  }
  const double angle = steepest(n, target, above, above, kNaN).angle;
  n.steepest.emplace(target, angle);
  return angle;
}

void SweepSolver::solve_steepest(SweepNode& n, const SweepNode* reference) {
  // Highest target first, whose crossing is the flattest.  Under a water
  // table every slope up to it reaches the next target too, whose scan
  // starts there, or at a taller slope's angle for it where that is
  // steeper; where the factor of safety falls, the next search starts
  // from it, with the slope its last bracket measured.
  double above = kNaN, slope = kNaN;
  for (const double target : targets_) {
    double clear_to = above;
    if (chains_ && reference != nullptr && reference->height >= n.height) {
      const auto taller = reference->steepest.find(target);
      if (taller != reference->steepest.end() && !(taller->second <= clear_to))
        clear_to = taller->second;
    }
    const Steepest found = steepest(n, target, clear_to, above, slope);
    above = found.angle;
    if (found.slope == found.slope) slope = found.slope;
    n.steepest.emplace(target, found.angle);
  }
  n.steepest_solved = true;
}

Steepest SweepSolver::steepest(SweepNode& n, double target, double clear_to, double from,
                               double slope) {
  SteepestSearch s{precision_.angle_tolerance, falls_};
  s.events = events_;
  if (!falls_) s.clear_to = clear_to;
  s.from = from;
  if (slope == slope) s.slope = slope;
  return steepest_safe_angle([&](double beta) { return solve_at(n, beta); }, n.fs, target, s);
}

void SweepSolver::solve_steepest(const std::vector<Solve>& nodes, const RunEach& run_each) {
  run_each(nodes.size(), [&](std::size_t i) {
    if (!nodes[i].node->steepest_solved) solve_steepest(*nodes[i].node, nodes[i].reference);
  });
}

void SweepSolver::solve_factor_of_safety(const std::vector<SweepNode*>& nodes, double beta,
                                         const RunEach& run_each) {
  run_each(nodes.size(), [&](std::size_t i) { factor_of_safety(*nodes[i], beta); });
}

}  // namespace telk
