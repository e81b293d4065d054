#include "driver/check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "driver/sweep.h"

namespace telk {

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
             Progress* progress, const RunEach& run_each)
    : file_(file),
      header_(check_header(answers.density, answers.friction_angle, answers.cohesion,
                           check_ground(options))),
      progress_(progress) {
  if (!takes_strength(answers.friction_angle, answers.cohesion, answers.density)) return;
  const float phi = radians(answers.friction_angle);
  // The solver takes the friction angle in degrees: the sweep's float
  // radians, back in degrees, so that tan(phi) is the chart's.
  const Ground ground{double{phi} * (180 / std::numbers::pi), answers.cohesion,
                      answers.density, 1, 90};
  const int rows = row_count(answers.height, answers.definition);
  last_height_ = double{answers.definition} * rows;
  SweepRun run{{}, [definition = answers.definition](double h) {
                  return double{next_height(static_cast<float>(h), definition)};
                },
               run_each};
  for (const FactorOfSafety& target : kFactorsOfSafety) run.targets.push_back(target.decimal);
  // The chart's angles of a row, as the sweep reads them, known ahead.
  run.angles_at = [groups = ChartGroups(phi), c = answers.cohesion, gamma = answers.density,
                   tan_phi = std::tan(double{phi})](double h) {
    float angles[kGroups];
    groups.angles(cohesion_ratio(static_cast<float>(h), c, gamma, tan_phi), angles);
    std::vector<double> built;
    for (const float a : angles) {
      if (std::isfinite(a)) built.push_back(built_angle(a));
    }
    return built;
  };
  answers_ = sweep_answers(with_options(ground, options), std::tan(double{phi}),
                           answers.definition, last_height_, rows, run);
}

Check::~Check() = default;

std::int64_t Check::solves() const { return answers_ ? answers_->solves() : 0; }

char* Check::write_after_height(char* out, float h, const float chart_angles[kGroups],
                                bool* steepest_changed) {
  // No Bishop answer for a ground the solver does not take, nor for a
  // height that is not above zero.  Rows of the same key share their
  // answers.
  const double key = answers_ ? answers_->key(double{h}) : std::numeric_limits<double>::quiet_NaN();
  bool same = size_ != 0 && std::bit_cast<std::uint64_t>(key) == key_bits_;
  for (int g = 0; g < kGroups; ++g)
    same = same && std::bit_cast<std::uint32_t>(chart_angles[g]) == angle_bits_[g];
  if (steepest_changed != nullptr) *steepest_changed = false;
  if (!same) remake(key, h, chart_angles, steepest_changed);
  return std::copy_n(tail_, size_, out);
}

void Check::remake(double key, float h, const float chart_angles[kGroups],
                   bool* steepest_changed) {
  const bool answered = key == key;
  if (answered && progress_ != nullptr && answers_->solves_slopes())
    progress_->at(std::min(1.0, h / last_height_));
  CheckCells cells[kGroups];
  for (int g = 0; g < kGroups; ++g) {
    double fs = std::numeric_limits<double>::quiet_NaN(), steepest = fs;
    if (answered) {
      // No factor of safety for an angle the chart does not give.
      if (std::isfinite(chart_angles[g]))
        fs = answers_->factor_of_safety(double{h}, built_angle(chart_angles[g]));
      steepest = answers_->steepest_angle(double{h}, kFactorsOfSafety[g].decimal);
    }
    cells[g] = {chart_angles[g], fs, steepest};
    // The first row of the lowest: a row that repeats it is not made again.
    if (fs < lowest_[g].fs) lowest_[g] = {fs, h};
    angle_bits_[g] = std::bit_cast<std::uint32_t>(chart_angles[g]);
  }
  key_bits_ = std::bit_cast<std::uint64_t>(key);
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
