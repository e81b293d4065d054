// The solver at the heights a sweep's answers need (row_answers.cpp,
// node_answers.cpp): a slope at one height solved at the angles and for
// the targets asked for, each once, with the circles its searches found.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <vector>

#include "bishop/critical.h"
#include "bishop/sweep_answers.h"

namespace telk {

// The slope at one height.
struct SweepNode {
  double height = 0;
  std::map<double, Leads> searches;   // what each whole search found, by slope angle
  std::map<double, double> fs;        // by slope angle
  std::map<double, Arc> arcs;         // the critical circle, by slope angle
  std::map<double, double> steepest;  // by target
};

class SweepSolver {
 public:
  // The ground of every height, and the precision of its searches.
  SweepSolver(const Ground& ground, const Precision& precision);

  // The critical factor of safety of node n's slope at angle beta.
  double factor_of_safety(SweepNode& n, double beta);

  // The steepest safe angle for `target` at node n.  `guess`, where given,
  // tells where a target's crossing is expected (steepest.h's guess).
  double steepest_angle(SweepNode& n, double target,
                        const std::function<double(double target)>& guess = {});

  bool falls() const { return falls_; }
  std::int64_t solves() const { return solves_; }

 private:
  double search(SweepNode& n, double target, double clear_to,
                const std::function<double(double)>& guess);

  Ground ground_;
  bool falls_;  // the factor of safety falls as the slope steepens
  std::vector<double> events_;  // the water table's events, the same at every height
  Precision precision_;
  // Where the last search for a target began, and d(fs)/d(angle) where it
  // ended, by target.
  struct Last {
    double angle;
    double slope;
  };
  std::map<double, Last> last_;
  std::set<double> targets_;  // the targets asked for so far
  std::int64_t solves_ = 0;
};

// What the rows' and the nodes' answers share: the solver, to their
// precision, and each height's answers its own.
class SolvedAnswers : public SweepAnswers {
 public:
  SolvedAnswers(const Ground& ground, const Precision& precision) : solver_(ground, precision) {}
  double key(double h) const override { return h > 0 ? h : kNoAnswer; }
  std::int64_t solves() const override { return solver_.solves(); }

 protected:
  static constexpr double kNoAnswer = std::numeric_limits<double>::quiet_NaN();
  // Whether the solver has an answer for a slope of height h at angle beta.
  static bool solvable(double h, double beta) {
    return h > 0 && beta >= kLeastSlopeAngle && beta <= 90;
  }
  SweepSolver solver_;
};

}  // namespace telk
