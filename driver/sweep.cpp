#include "driver/sweep.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "chart/chart.h"
#include "chart/cohesion.h"
#include "report/check_file.h"
#include "report/cells.h"
#include "report/layout.h"

namespace telk {

namespace {

// The console shows the same trace for every row, so it is written in
// blocks of many rows' traces at once.  It is only a sign of progress: a
// console that has gone away must not cost the result file, so its writes
// are not checked.  A progress line shown is taken away before each write.
class ConsoleTrace {
 public:
  ConsoleTrace(const std::string& row_trace, std::FILE* console, Progress* progress)
      : console_(row_trace.empty() ? nullptr : console),
        progress_(progress),
        row_size_(row_trace.size()) {
    if (console_ == nullptr) return;
    constexpr std::size_t kBlock = std::size_t{64} << 10;
    rows_a_block_ = kBlock / row_size_;
    for (std::size_t k = 0; k < rows_a_block_; ++k) block_ += row_trace;
  }

  void row() {
    if (++pending_ == rows_a_block_) finish();
  }

  void finish() {
    if (console_ == nullptr || pending_ == 0) return;
    if (progress_ != nullptr) progress_->wipe();
    std::fwrite(block_.data(), row_size_, pending_, console_);
    pending_ = 0;
  }

 private:
  std::FILE* console_;
  Progress* progress_;
  std::size_t row_size_;
  std::size_t rows_a_block_ = 0;  // none without a console: row() never writes
  std::string block_;
  std::size_t pending_ = 0;  // rows whose trace is not written yet
};

// Half a hundredth: a height that strays this far shows another hundredth.
constexpr double kDrift = 0.005;

// Whether every sum of up to `rows` steps is a float, so that adding up
// loses nothing.  With the definition m * 2^e, m odd, the sums are the
// multiples k * m * 2^e, which are floats while k * m < 2^24: 0.125, 0.25
// and 0.5 add up exactly for 16 million rows, 0.1 not even for two.
bool sums_are_exact(float definition, int rows) {
  int exponent = 0;
  double odd = std::ldexp(std::frexp(std::fabs(double{definition}), &exponent), 24);
  while (odd >= 2 && std::fmod(odd, 2.0) == 0) odd /= 2;
  return static_cast<double>(rows) * odd <= 16777216.0;
}

// The first row, counted from 1, whose accumulated height strays kDrift or
// more from its exact step (i + 1) * definition; 0 when none does.
int first_drifting_row(float definition, int rows) {
  if (sums_are_exact(definition, rows)) return 0;
  float h = 0.0f;
  for (int i = 0; i < rows; ++i) {
    h = next_height(h, definition);
    if (std::fabs(double{h} - (i + 1.0) * double{definition}) >= kDrift) return i + 1;
  }
  return 0;
}

// The exact quotient truncated toward zero, not rounded to float first:
// 1 / 0.1f is 9.99999985, which a float would make 10.
double truncated_quotient(float height, float definition) {
  return std::trunc(double{height} / double{definition});
}

// The shortest text that reads back as v: "0.01", "21474836".
std::string shortest(float v) {
  char text[kCellMax];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

}  // namespace

float next_height(float h, float definition) {
  return static_cast<float>(double{h} + double{definition});
}

std::optional<SweepPlan> check_sweep(const Answers& answers, std::string* error) {
  const float height = answers.height, definition = answers.definition;
  // A quotient that is not finite (a definition of 0) gives no rows, as
  // a height below the definition does.
  const double q = truncated_quotient(height, definition);
  if (std::isfinite(q) && q > INT_MAX) {
    *error = "height: " + shortest(height) + " m in steps of " + shortest(definition) +
             " m is more than " + std::to_string(INT_MAX) + " rows";
    return std::nullopt;
  }
  const int rows = row_count(height, definition);
  const int drifting = first_drifting_row(definition, rows);
  if (drifting > 0) {
    *error = "definition: " + shortest(definition) + " m steps drift off their heights from " +
             fixed_text(drifting * double{definition}, 2) +
             " m on, in single precision; use a shorter height or a coarser definition"
             " (0.125, 0.25 and 0.5 add up exactly)";
    return std::nullopt;
  }
  return SweepPlan(answers, rows);
}

int row_count(float height, float definition) {
  const double q = truncated_quotient(height, definition);
  if (!(q > 0 && q <= INT_MAX)) return 0;
  return static_cast<int>(q);
}

namespace {

// The rows of a sweep, and with a check its rows too, and with a watcher
// word of each row; a loop for each case, so that the plain sweep pays nothing a row
// for the others.  Flattened: with several loops the compiler would no
// longer inline the height cell and the cohesion ratio into each, which
// costs the plain sweep a sixth.
template <bool kChecked, bool kWatched>
[[gnu::flatten]] bool sweep_rows(const SweepPlan& plan, const ChartGroups& groups,
                                 CohesionRatios* ratios, RowTails* tails, Sink* out,
                                 Check* check, RowWatcher* watcher, ConsoleTrace* trace,
                                 std::string* error) {
  HeightCells heights;
  float h = 0.0f;
  float angles[kGroups] = {};
  std::uint32_t y_bits = 0;
  std::string_view tail;
  for (int i = 0; i < plan.rows(); ++i) {
    h = next_height(h, plan.answers().definition);
    // The tail after the height depends on the cohesion ratio alone, which
    // keeps its value over long runs of rows.
    const float y = ratios->at(h);
    const bool changed = i == 0 || std::bit_cast<std::uint32_t>(y) != y_bits;
    if (changed) {
      y_bits = std::bit_cast<std::uint32_t>(y);
      groups.angles(y, angles);
      tail = tails->make(y, angles);
    }
    char* row = out->begin_write(kCellMax + tail.size(), error);
    if (row == nullptr) return false;
    char* const height_end = heights.write(row, h);
    out->end_write(std::copy(tail.begin(), tail.end(), height_end));
    [[maybe_unused]] char* checked = nullptr;
    [[maybe_unused]] bool steepest_changed = false;
    if constexpr (kChecked) {
      // The same height cell, then the check's own; whether its steepest
      // angles changed only for a watcher.
      bool* steepest_asked = nullptr;
      if constexpr (kWatched) steepest_asked = &steepest_changed;
      checked = check->file()->begin_write(kCellMax + kCheckTailMax, error);
      if (checked == nullptr) return false;
      check->file()->end_write(check->write_after_height(std::copy(row, height_end, checked), h,
                                                         angles, steepest_asked));
    }
    if constexpr (kWatched) watcher->row(row, checked, changed || steepest_changed);
    trace->row();
  }
  trace->finish();
  return true;
}

}  // namespace

bool sweep(const SweepPlan& plan, Sink* out, std::FILE* console, std::string* error,
           Check* check, RowWatcher* watcher) {
  const Answers& answers = plan.answers();
  const float phi = radians(answers.friction_angle);
  CohesionRatios ratios(answers.cohesion, answers.density, phi);
  const ChartGroups groups(phi);
  FrictionCells cells = friction_cells(groups.friction_ratios);
  ConsoleTrace trace(cells.trace, console, check != nullptr ? check->progress() : nullptr);
  RowTails tails(std::move(cells));
  if (!out->append(header(answers.density, answers.friction_angle, answers.cohesion), error))
    return false;
  if (check != nullptr && !check->file()->append(check->header(), error)) return false;
  const auto rows = [&](auto checked, auto watched) {
    return sweep_rows<decltype(checked)::value, decltype(watched)::value>(
        plan, groups, &ratios, &tails, out, check, watcher, &trace, error);
  };
  using Yes = std::true_type;
  using No = std::false_type;
  if (watcher != nullptr) return check != nullptr ? rows(Yes{}, Yes{}) : rows(No{}, Yes{});
  return check != nullptr ? rows(Yes{}, No{}) : rows(No{}, No{});
}

}  // namespace telk
