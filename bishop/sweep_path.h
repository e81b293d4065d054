// The check of a sweep of heights where the fast path's table does not
// hold (water in the ground, a firm base below the toe): the solver at
// nodes a quarter apart in ln(h), each solved once when a row first needs
// it, and the rows between read off a cubic through the four nodes around
// them, lowered by the interpolation's error so that nothing is on the
// unsafe side of a direct solve at the row's height.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "bishop/bishop.h"

namespace telk {

struct SweepNode;

class SweepPath {
 public:
  // The ground of every row but its height and slope angle.
  explicit SweepPath(const Ground& ground);
  ~SweepPath();
  SweepPath(const SweepPath&) = delete;
  SweepPath& operator=(const SweepPath&) = delete;

  // The critical factor of safety of the slope of height h at angle beta,
  // lowered by kSweepFsError; not a number where the solver has none (a
  // height not above zero, an angle outside [kLeastSlopeAngle, 90]).
  // (Never inlined: the sweep's loop inlines all it calls, and this
  // calls the whole solver.)
  [[gnu::noinline]] double factor_of_safety(double h, double beta);

  // The steepest angle whose critical factor of safety reaches `target` at
  // height h, lowered by kSweepAngleError: 90 where a vertical cut does,
  // not a number where even a slope of kLeastSlopeAngle falls short.
  [[gnu::noinline]] double steepest_angle(double h, double target);

  // How many slopes the solver has solved so far, for a line of progress.
  std::int64_t solves() const { return solves_; }

 private:
  SweepNode& node(std::int64_t k);
  double node_fs(std::int64_t k, double beta);
  double node_steepest(std::int64_t k, double target);
  double edge_steepest(double z, std::int64_t k, double target);

  Ground ground_;
  std::map<std::int64_t, std::unique_ptr<SweepNode>> nodes_;
  std::int64_t solves_ = 0;
};

// How far the path's answers may stray from a direct solve's, which it
// lowers them by: a share of the factor of safety, and degrees.
inline constexpr double kSweepFsError = 5e-4;
inline constexpr double kSweepAngleError = 0.02;

}  // namespace telk
