// The solver at each row's own height, to the last digits: for a sweep of
// fewer rows than the nodes it would need, cheaper than nodes, and exact.
#include <cmath>
#include <limits>

#include "bishop/sweep_solver.h"
#include "bishop/sweep_strategies.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class RowAnswers : public SweepAnswers {
 public:
  explicit RowAnswers(const Ground& ground)
      : solver_(ground, kRowPrecision) {}

  double key(double h) const override { return h > 0 ? h : kNaN; }

  double factor_of_safety(double h, double beta) override {
    if (!(h > 0) || !(beta >= kLeastSlopeAngle && beta <= 90)) return kNaN;
    return solver_.factor_of_safety(row(h), beta);
  }

  double steepest_angle(double h, double target) override {
    if (!(h > 0)) return kNaN;
    return solver_.steepest_angle(row(h), target);
  }

  std::int64_t solves() const override { return solver_.solves(); }

 private:
  // The row at height h: each row's answers are its own.
  SweepNode& row(double h) {
    if (!(row_.height == h)) row_ = SweepNode{h, {}, {}, {}, {}};
    return row_;
  }

  SweepSolver solver_;
  SweepNode row_;
};

}  // namespace

std::unique_ptr<SweepAnswers> row_answers(const Ground& ground) {
  return std::make_unique<RowAnswers>(ground);
}

}  // namespace telk
