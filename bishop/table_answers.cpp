// The fast path's table along a sweep of dry, still ground on a base at
// the toe: each row read at its kept cohesion ratio, which runs of rows
// share, with a cursor per target so that the steepest angle's search
// starts from the last row's cell.
#include <bit>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "bishop/sweep_strategies.h"

namespace telk {

double kept_cohesion_ratio(double ratio) {
  if (!(ratio > 0 && ratio < std::numeric_limits<double>::infinity())) return ratio;
  // Cut to 14 of the 52 bits of the fraction: less cohesion, on the safe
  // side.
  constexpr std::uint64_t kDropped = (std::uint64_t{1} << 38) - 1;
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(ratio) & ~kDropped);
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class TableAnswers : public SweepAnswers {
 public:
  TableAnswers(double tan_phi, double cohesion, double unit_weight)
      : tan_phi_(tan_phi), cohesion_(cohesion), unit_weight_(unit_weight) {}

  double key(double h) const override {
    return h > 0 ? kept_cohesion_ratio(cohesion_ / (unit_weight_ * h)) : kNaN;
  }

  double factor_of_safety(double h, double beta) override {
    return check_factor_of_safety(strength(h), beta);
  }

  double steepest_angle(double h, double target) override {
    SteepestCursor* cursor = nullptr;
    for (auto& [t, c] : cursors_)
      if (t == target) cursor = &c;
    if (cursor == nullptr) cursor = &cursors_.emplace_back(target, SteepestCursor{}).second;
    return check_steepest_angle(strength(h), target, cursor);
  }

  bool solves_slopes() const override { return false; }

 private:
  // The table's strength at the row's kept ratio, found once for the rows
  // that share it.
  const TableStrength& strength(double h) {
    const double ratio = key(h);
    if (!has_strength_ || std::bit_cast<std::uint64_t>(ratio) != ratio_bits_) {
      strength_ = table_strength(tan_phi_, ratio);
      ratio_bits_ = std::bit_cast<std::uint64_t>(ratio);
      has_strength_ = true;
    }
    return strength_;
  }

  double tan_phi_, cohesion_, unit_weight_;
  bool has_strength_ = false;
  std::uint64_t ratio_bits_ = 0;
  TableStrength strength_ = {};
  std::vector<std::pair<double, SteepestCursor>> cursors_;  // by target
};

}  // namespace

std::unique_ptr<SweepAnswers> table_answers(double tan_phi, double cohesion,
                                            double unit_weight) {
  return std::make_unique<TableAnswers>(tan_phi, cohesion, unit_weight);
}

}  // namespace telk
