// Bishop's answers along a sweep of heights, for the check of each row:
// the critical factor of safety of the slope built at an angle, and the
// steepest safe angle for a target, never on the unsafe side of the
// solver's at the row's height.  One of three ways gives them, and
// sweep_answers alone chooses which:
//   - dry, still ground on a base at the toe: the fast path's table
//     (table_answers.cpp), read at the row's cohesion ratio kept to 14
//     bits, which runs of rows share;
//   - few rows: the solver at each row's own height (row_answers.cpp);
//   - else the solver at nodes in ln(h), the rows between read off
//     cubics through them and lowered by the margins below
//     (node_answers.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bishop/bishop.h"
#include "bishop/run_each.h"

namespace telk {

class SweepAnswers {
 public:
  virtual ~SweepAnswers() = default;

  // What the answers at height h depend on: rows with the same key (its
  // bits) have the same answers, so a check may reuse a row's cells.  Not
  // a number where there are none (a height not above zero).
  virtual double key(double h) const = 0;

  // The critical factor of safety of the slope of height h at angle beta;
  // not a number where there is none (a height not above zero, an angle
  // outside [kLeastSlopeAngle, 90]).
  virtual double factor_of_safety(double h, double beta) = 0;

  // The steepest safe angle for `target` at height h: 90 where a vertical
  // cut and every flatter slope reach it, not a number where even a slope
  // of kLeastSlopeAngle falls short.
  virtual double steepest_angle(double h, double target) = 0;

  // How many slopes the solver has solved so far, for a line of progress;
  // 0 for the table.
  virtual std::int64_t solves() const { return 0; }

  // Whether the answers cost the solver's time, worth a progress line.
  virtual bool solves_slopes() const { return true; }
};

// How a sweep's answers run: the targets its rows ask steepest angles for
// (every height solves them all, highest first), the height of the row
// after one (the caller's rule: a sweep sums its heights in float; none
// where rows are not solved ahead), and how a batch of heights is solved
// at once.  The batches are the same on any number of threads, and a
// height starts only from heights of earlier batches: the answers never
// depend on the threads.
struct SweepRun {
  std::vector<double> targets;
  std::function<double(double)> next_height = {};
  RunEach run_each = run_each_in_turn;
  // The slope angles that the factor of safety of the row at height h
  // will be asked at, where the caller knows them ahead (the chart's):
  // rows solved at their own height solve them in the batch, beside
  // their steepest angles.
  std::function<std::vector<double>(double)> angles_at = {};
};

// The answers for a sweep of `rows` rows from height `lowest` to
// `highest` of the ground, whose height and slope angle are the rows'.
// The ground must have a strength the solver takes (takes_strength);
// tan_phi is tan(phi) as the table reads it, the caller's, so that it is
// the chart's to the bit.
std::unique_ptr<SweepAnswers> sweep_answers(const Ground& ground, double tan_phi,
                                            double lowest, double highest, std::int64_t rows,
                                            const SweepRun& run);

// The cohesion ratio c / (gamma h) that the table's answers are read at,
// cut to 14 significant bits: at most a part in 16384 less, as if the
// height were 0.6 mm more in 10 m, on the safe side.  Along a long sweep
// it keeps its value over many rows.  Zero, negative and not finite ratios
// are kept as they are.
double kept_cohesion_ratio(double ratio);

// How far the answers read off nodes may stray from a direct solve's,
// which they are lowered by: a share of the factor of safety, and
// degrees.  bench/sweep_accuracy.cpp measures the worst rows against
// direct solves.  And how far a cubic may part from its neighbours' for
// its interval to be read off it, in ln(FS) and degrees.
inline constexpr double kSweepFsError = 5e-4;
inline constexpr double kSweepAngleError = 0.03;
inline constexpr double kSweepFsTolerance = 2e-4;
inline constexpr double kSweepAngleTolerance = 0.01;

}  // namespace telk
