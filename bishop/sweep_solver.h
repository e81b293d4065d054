// The solver at the heights a sweep's answers need (row_answers.cpp,
// node_answers.cpp): a slope at one height solved at the angles and for
// the targets asked for, each once, with the circles its searches found.
// Each height's answers depend on that height alone, never on which
// heights were solved before it or beside it: heights are solved in
// batches, on every thread the sweep is given, and any order gives the
// same bytes.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "bishop/critical.h"
#include "bishop/steepest.h"
#include "bishop/sweep_answers.h"

namespace telk {

// The slope at one height.
struct SweepNode {
  double height = 0;
  // The steepest safe angle for every target of the sweep solved: where
  // the factor of safety falls, all together (SweepSolver::solve_steepest)
  // before anything else at this height; where it is scanned for, a
  // target with those above it, as asked.
  bool steepest_solved = false;
  std::map<double, Leads> searches;   // what each whole search found, by slope angle
  std::map<double, double> fs;        // by slope angle
  std::map<double, Arc> arcs;         // the critical circle, by slope angle
  std::map<double, double> steepest;  // by target
  std::map<double, double> slopes;    // d(fs)/d(angle) where each was found, by target
  std::map<double, double> whole;     // whole searches asked for, by slope angle
};

class SweepSolver {
 public:
  // The ground of every height, the precision of its searches and the
  // targets of the sweep's steepest angles.
  SweepSolver(const Ground& ground, const Precision& precision, std::vector<double> targets);

  // The critical factor of safety of node n's slope at angle beta.
  double factor_of_safety(SweepNode& n, double beta);
  // The same by a whole search to the last digits, the direct solve's:
  // never from the node's other searches, which refinements may leave a
  // few parts in a million above it.
  double whole_factor_of_safety(SweepNode& n, double beta);

  // The steepest safe angle for `target` at node n.
  double steepest_angle(SweepNode& n, double target);

  // Whether a taller slope's steepest safe angles bound a lower one's
  // from below (safer_when_lower): every flatter slope is clear there.
  bool chains() const { return chains_; }

  // The steepest safe angles of every target at each node, the nodes
  // solved at once by run_each.  Where the solver chains, a node's scans
  // start at its reference's angles, where one is given beside it: a
  // taller slope's, solved already (a lower one's is not taken).  Where
  // the factor of safety falls, its searches start where `guesses` say,
  // else from `start`'s angles and slopes (a height solved already),
  // else from the higher target's crossing.  Where the angle is scanned
  // for, the targets down to `down_to` (every target where it is not a
  // number); where it falls, every target.
  struct Solve {
    SweepNode* node;
    const SweepNode* reference = nullptr;
    std::map<double, double> guesses = {};  // by target
    const SweepNode* start = nullptr;
    double down_to = std::numeric_limits<double>::quiet_NaN();
  };
  // Whether node n has the steepest angle for `target` (for every target
  // where it is not a number), and where the factor of safety falls for
  // every target.
  bool solved(const SweepNode& n, double target) const {
    return n.steepest_solved || (!falls_ && n.steepest.count(target) != 0);
  }
  void solve_steepest(const std::vector<Solve>& nodes, const RunEach& run_each);
  // The critical factor of safety at angle beta of each node, the same.
  void solve_factor_of_safety(const std::vector<SweepNode*>& nodes, double beta,
                              const RunEach& run_each);
  // The steepest angles as solve_steepest, and whole_factor_of_safety of
  // each node at its angle, at once.  Where the factor of safety falls,
  // the whole searches come first, and the node's searches at other
  // angles start from what they found, as from any whole search of the
  // node's; else nothing starts from them, and they run beside the
  // steepest angles' scans, which, the longer, start first.
  struct WholeAt {
    SweepNode* node;
    double beta;
  };
  void solve_batch(const std::vector<Solve>& nodes, const std::vector<WholeAt>& at,
                   const RunEach& run_each);

  bool falls() const { return falls_; }
  const std::vector<double>& targets() const { return targets_; }
  std::int64_t solves() const { return solves_; }

 private:
  void solve_steepest(const Solve& solve);
  // The whole search of node n's slope at beta, to the last digits.
  SlipAnswer whole(const SweepNode& n, double beta, Leads* leads) const;
  // The factor of safety at beta, each angle solved once.
  double solve_at(SweepNode& n, double beta);
  Steepest steepest(SweepNode& n, double target, double clear_to, double guess, double from,
                    double slope);

  const Ground ground_;
  const bool falls_;  // the factor of safety falls as the slope steepens
  const bool chains_;  // scanned, and safer_when_lower
  const std::vector<double> events_;  // the water table's events, the same at every height
  const Precision precision_;
  const std::vector<double> targets_;  // highest first
  std::atomic<std::int64_t> solves_ = 0;
};

// What the rows' and the nodes' answers share: the solver, to their
// precision, and each height's answers its own.
class SolvedAnswers : public SweepAnswers {
 public:
  SolvedAnswers(const Ground& ground, const Precision& precision, const SweepRun& run)
      : solver_(ground, precision, run.targets), run_(run) {}
  double key(double h) const override { return h > 0 ? h : kNoAnswer; }
  std::int64_t solves() const override { return solver_.solves(); }

 protected:
  static constexpr double kNoAnswer = std::numeric_limits<double>::quiet_NaN();
  // Whether the solver has an answer for a slope of height h at angle beta.
  static bool solvable(double h, double beta) {
    return h > 0 && beta >= kLeastSlopeAngle && beta <= 90;
  }
  SweepSolver solver_;
  const SweepRun run_;
};

}  // namespace telk
