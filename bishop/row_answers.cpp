// The solver at each row's own height, to the last digits: for a sweep of
// fewer rows than the nodes it would need, cheaper than nodes, and exact.
#include "bishop/sweep_solver.h"
#include "bishop/sweep_strategies.h"

namespace telk {

namespace {

class RowAnswers : public SolvedAnswers {
 public:
  explicit RowAnswers(const Ground& ground) : SolvedAnswers(ground, kRowPrecision) {}

  double factor_of_safety(double h, double beta) override {
    if (!solvable(h, beta)) return kNoAnswer;
    return solver_.factor_of_safety(row(h), beta);
  }

  double steepest_angle(double h, double target) override {
    if (!(h > 0)) return kNoAnswer;
    return solver_.steepest_angle(row(h), target);
  }

 private:
  // The row at height h: each row's answers are its own.
  SweepNode& row(double h) {
    if (!(row_.height == h)) row_ = SweepNode{h, {}, {}, {}, {}};
    return row_;
  }

  SweepNode row_;
};

}  // namespace

std::unique_ptr<SweepAnswers> row_answers(const Ground& ground) {
  return std::make_unique<RowAnswers>(ground);
}

}  // namespace telk
