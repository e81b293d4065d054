// The check of a sweep of heights where the fast path's table does not
// hold (water in the ground, a firm base below the toe): the solver at
// nodes a quarter apart in ln(h), each solved once when a row first needs
// it, and the rows between read off a cubic through the four nodes around
// them, lowered by the interpolation's error so that nothing is on the
// unsafe side of a direct solve at the row's height; or, for a sweep of
// few rows, the solver at each row.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "bishop/bishop.h"

namespace telk {

struct SweepNode;

// A piece of a path: over [from, to) in its ticks, the cubic through four
// nodes `spacing` ticks apart, the second at `origin`; or, where the
// nodes' values leave no cubic to follow (an angle of 90 or none, a
// factor of safety not above zero), the lower of the interval's ends.
struct SweepPiece {
  double from = 0, to = 0;
  double origin = 0, spacing = 1;
  double values[4] = {};
  bool cubic = false;
  double lower = 0;
  double at(double ticks) const;
};

class SweepPath {
 public:
  // The ground of every row but its height and slope angle, and the rows
  // to come: the lowest and the highest height, and how many.  A sweep of
  // few rows is cheaper solved at each row's height than at nodes, and
  // exact: so it is.
  SweepPath(const Ground& ground, double lowest, double highest, std::int64_t rows);
  ~SweepPath();
  SweepPath(const SweepPath&) = delete;
  SweepPath& operator=(const SweepPath&) = delete;

  // The critical factor of safety of the slope of height h at angle beta,
  // lowered by kSweepFsError between nodes; not a number where the solver
  // has none (a height not above zero, an angle outside
  // [kLeastSlopeAngle, 90]).  (Never inlined: the sweep's loop inlines all
  // it calls, and this calls the whole solver.)
  [[gnu::noinline]] double factor_of_safety(double h, double beta);

  // The steepest angle whose critical factor of safety reaches `target` at
  // height h, lowered by kSweepAngleError between nodes: 90 where a
  // vertical cut does, not a number where even a slope of
  // kLeastSlopeAngle falls short.
  [[gnu::noinline]] double steepest_angle(double h, double target);

  // How many slopes the solver has solved so far, for a line of progress.
  std::int64_t solves() const { return solves_; }

 private:
  SweepNode& node(double key, double height);
  SweepNode& tick_node(std::int64_t ticks);
  double node_fs(SweepNode& n, double beta);
  double node_steepest(SweepNode& n, double target);
  double node_search(SweepNode& n, double target, double clear_to);
  double neighbours_steepest(const SweepNode& n, double target) const;
  template <typename Value, typename Usable, typename ArcOf>
  SweepPiece piece(double ticks, Value value, Usable usable, ArcOf arc, double tolerance);

  Ground ground_;
  bool falls_;  // the factor of safety falls as the slope steepens
  std::vector<double> events_;  // the water table's events, the same at every height
  bool direct_;
  std::map<double, std::unique_ptr<SweepNode>> nodes_;  // by ln(h)
  std::map<double, double> last_steepest_;  // by target: where the last search began
  std::map<double, double> last_slope_;     // by target: d(fs)/d(angle) where it ended
  std::set<double> targets_;                // the targets asked for so far
  // The pieces the last rows were read off, by slope angle and by target.
  std::map<double, SweepPiece> fs_pieces_, steepest_pieces_;
  std::int64_t solves_ = 0;
};

// How far the path's answers may stray from a direct solve's, which it
// lowers them by: a share of the factor of safety, and degrees (over 162
// random wet sweeps read off nodes, 45 of them shaken, the factors of
// safety read off the cubics were at most 0.045% above a direct solve and
// the angles 0.021 degrees steeper); and how far a cubic may part from its
// neighbours' for its interval to be read off it, in ln(FS) and degrees.
inline constexpr double kSweepFsError = 5e-4;
inline constexpr double kSweepAngleError = 0.03;
inline constexpr double kSweepFsTolerance = 2e-4;
inline constexpr double kSweepAngleTolerance = 0.01;

}  // namespace telk
