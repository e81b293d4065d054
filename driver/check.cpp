#include "driver/check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <string>

#include "driver/sweep.h"

namespace telk {

double kept_cohesion_ratio(double ratio) {
  if (!(ratio > 0 && ratio < std::numeric_limits<double>::infinity())) return ratio;
  // Cut to 14 of the 52 bits of the fraction: less cohesion, on the safe
  // side.
  constexpr std::uint64_t kDropped = (std::uint64_t{1} << 38) - 1;
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(ratio) & ~kDropped);
}

bool base_within_reach(const Answers& answers, const GroundOptions& options,
                       OptionError* error) {
  if (row_count(answers.height, answers.definition) == 0) return true;
  if (options.base_depth / double{answers.definition} <= kDeepestBase) return true;
  *error = {option_of(kBaseDepth),
            "is deeper than " + std::to_string(static_cast<int>(kDeepestBase)) +
                " times the first row's height (the definition), beyond which the search does"
                " not reach"};
  return false;
}

Check::Check(const Answers& answers, Sink* file, const GroundOptions& options,
             Progress* progress)
    : file_(file),
      header_(check_header(answers.density, answers.friction_angle, answers.cohesion,
                           check_ground(options))),
      tan_phi_(std::numeric_limits<double>::quiet_NaN()),
      cohesion_(answers.cohesion),
      density_(answers.density),
      progress_(progress) {
  if (!takes_strength(answers.friction_angle, answers.cohesion, answers.density)) return;
  const float phi = radians(answers.friction_angle);
  tan_phi_ = std::tan(double{phi});
  // The solver takes the friction angle in degrees: the sweep's float
  // radians, back in degrees, so that tan(phi) is the chart's.
  if (options.given()) {
    Ground ground{double{phi} * (180 / std::numbers::pi), answers.cohesion,
                  answers.density, 1, 90};
    const int rows = row_count(answers.height, answers.definition);
    last_height_ = double{answers.definition} * rows;
    path_ = std::make_unique<SweepPath>(with_options(ground, options), answers.definition,
                                        last_height_, rows);
  }
}

Check::~Check() = default;

std::int64_t Check::solves() const { return path_ ? path_->solves() : 0; }

char* Check::write_after_height(char* out, float h, const float chart_angles[kGroups],
                                bool* steepest_changed) {
  // No Bishop answer for a height that is not above zero.  Along the
  // solver's path every height is its own; on the table's, rows share the
  // kept ratio.
  const double ratio = !(h > 0)        ? std::numeric_limits<double>::quiet_NaN()
                       : path_         ? double{h}
                                       : kept_cohesion_ratio(cohesion_ / (density_ * double{h}));
  bool same = size_ != 0 && std::bit_cast<std::uint64_t>(ratio) == ratio_bits_;
  for (int g = 0; g < kGroups; ++g)
    same = same && std::bit_cast<std::uint32_t>(chart_angles[g]) == angle_bits_[g];
  if (steepest_changed != nullptr) *steepest_changed = false;
  if (!same) remake(ratio, h, chart_angles, steepest_changed);
  return std::copy_n(tail_, size_, out);
}

void Check::remake(double ratio, float h, const float chart_angles[kGroups],
                   bool* steepest_changed) {
  const TableStrength strength = table_strength(tan_phi_, path_ ? 0 : ratio);
  const bool answered = tan_phi_ == tan_phi_ && ratio == ratio;
  CheckCells cells[kGroups];
  for (int g = 0; g < kGroups; ++g) {
    // No Bishop answer for an angle the chart does not give.
    const bool angle = std::isfinite(chart_angles[g]);
    const double target = kFactorsOfSafety[g].decimal;
    double fs = std::numeric_limits<double>::quiet_NaN(), steepest = fs;
    if (path_ && answered) {
      if (progress_ != nullptr && g == 0) progress_->at(std::min(1.0, h / last_height_));
      if (angle) fs = path_->factor_of_safety(ratio, built_angle(chart_angles[g]));
      steepest = path_->steepest_angle(ratio, target);
    } else if (!path_) {
      if (angle) fs = check_factor_of_safety(strength, built_angle(chart_angles[g]));
      steepest = check_steepest_angle(strength, target, &cursors_[g]);
    }
    cells[g] = {chart_angles[g], fs, steepest};
    // The first row of the lowest: a row that repeats it is not made again.
    if (fs < lowest_[g].fs) lowest_[g] = {fs, h};
    angle_bits_[g] = std::bit_cast<std::uint32_t>(chart_angles[g]);
  }
  ratio_bits_ = std::bit_cast<std::uint64_t>(ratio);
  if (steepest_changed == nullptr) {
    size_ = static_cast<std::size_t>(write_check_tail(tail_, cells) - tail_);
    return;
  }
  // The steepest cells' text before, to tell whether they change.
  std::string before[kGroups];
  for (int g = 0; g < kGroups; ++g) before[g] = steepest_[g];
  *steepest_changed = size_ == 0;
  size_ = static_cast<std::size_t>(write_check_tail(tail_, cells, steepest_) - tail_);
  for (int g = 0; g < kGroups; ++g) *steepest_changed = *steepest_changed || before[g] != steepest_[g];
}

bool Check::falls_short(int g) const {
  return lowest_[g].fs < (100 - kShortPercent) / 100.0 * kFactorsOfSafety[g].decimal;
}

std::string Check::lowest_line(int g) const {
  return telk::lowest_line(kFactorsOfSafety[g].decimal, lowest_[g].fs, lowest_[g].height,
                           falls_short(g));
}

}  // namespace telk
