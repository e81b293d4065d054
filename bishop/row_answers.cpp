// The solver at each row's own height, to the last digits: for a sweep of
// fewer rows than the nodes it would need, cheaper than nodes, and exact.
// A row's steepest angles are solved with those of the rows after it, in
// batches.
#include <map>
#include <vector>

#include "bishop/sweep_solver.h"
#include "bishop/sweep_strategies.h"
#include "bishop/tuning.h"

namespace telk {

namespace {

class RowAnswers : public SolvedAnswers {
 public:
  RowAnswers(const Ground& ground, double highest, const SweepRun& run)
      : SolvedAnswers(ground, kRowPrecision, run), highest_(highest) {}

  double factor_of_safety(double h, double beta) override {
    if (!solvable(h, beta)) return kNoAnswer;
    SweepNode& r = row(h);
    if (!r.steepest_solved) solve_ahead(h);
    return solver_.whole_factor_of_safety(r, beta);
  }

  double steepest_angle(double h, double target) override {
    if (!(h > 0)) return kNoAnswer;
    SweepNode& r = row(h);
    if (!r.steepest_solved) solve_ahead(h);
    return solver_.steepest_angle(r, target);
  }

 private:
  // The row at height h; the rows below it, which a sweep has left, are
  // let go.
  SweepNode& row(double h) {
    rows_.erase(rows_.begin(), rows_.lower_bound(h));
    SweepNode& r = rows_[h];
    r.height = h;
    return r;
  }

  // The steepest angles of the row at h and of the rows after it,
  // kRowsABatch in all, and their factors of safety at the chart's
  // angles, at once.  Where the solver chains, the sweep's last row is
  // solved first, beside the first batch's chart angles, and every other
  // row's scans start from its angles; where the factor of safety falls,
  // each row's searches start from the last row of the batch before.
  void solve_ahead(double h) {
    std::vector<double> heights = {h};
    for (double next = h; heights.size() < kRowsABatch && run_.next_height;) {
      next = run_.next_height(next);
      if (!(next > h && next <= highest_)) break;
      heights.push_back(next);
    }
    std::vector<SweepSolver::WholeAt> wholes;
    for (const double at : heights) {
      SweepNode& r = rows_[at];
      r.height = at;
      if (!run_.angles_at) continue;
      for (const double beta : run_.angles_at(at)) {
        if (solvable(at, beta)) wholes.push_back({&r, beta});
      }
    }
    const SweepNode* reference = nullptr;
    if (solver_.chains() && run_.next_height) {
      if (last_.height == 0) {
        last_.height = last_height(h);
        solver_.solve_batch({{&last_}}, wholes, run_.run_each);
        wholes.clear();
      }
      reference = &last_;
    }
    const SweepNode* start = solver_.falls() && before_.steepest_solved ? &before_ : nullptr;
    std::vector<SweepSolver::Solve> solves;
    for (const double at : heights) {
      SweepNode& r = rows_[at];
      if (reference != nullptr && at == reference->height && !r.steepest_solved) {
        r.steepest = reference->steepest;
        r.slopes = reference->slopes;
        r.steepest_solved = true;
      }
      if (!r.steepest_solved) solves.push_back({&r, reference, {}, start});
    }
    solver_.solve_batch(solves, wholes, run_.run_each);
    const SweepNode& last = rows_.at(heights.back());
    before_ = SweepNode{};
    before_.height = last.height;
    before_.steepest_solved = true;
    before_.steepest = last.steepest;
    before_.slopes = last.slopes;
  }

  // The height of the sweep's last row, from the row at h on.
  double last_height(double h) const {
    for (double next = h;;) {
      next = run_.next_height(next);
      if (!(next > h && next <= highest_)) return h;
      h = next;
    }
  }

  const double highest_;
  std::map<double, SweepNode> rows_;  // by height, from the row asked for last
  SweepNode last_;                    // the sweep's last row, where the solver chains
  SweepNode before_;                  // the last batch's last row: its angles and slopes
};

}  // namespace

std::unique_ptr<SweepAnswers> row_answers(const Ground& ground, double highest,
                                          const SweepRun& run) {
  return std::make_unique<RowAnswers>(ground, highest, run);
}

}  // namespace telk
