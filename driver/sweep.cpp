#include "driver/sweep.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "chart/chart.h"
#include "report/cells.h"

namespace telk {

namespace {

// The console shows the same trace for every row, so it is written in
// blocks of many rows' traces at once.  It is only a sign of progress: a
// console that has gone away must not cost the result file, so its writes
// are not checked.
class ConsoleTrace {
 public:
  ConsoleTrace(const std::string& row_trace, std::FILE* console)
      : console_(row_trace.empty() ? nullptr : console), row_size_(row_trace.size()) {
    if (console_ == nullptr) return;
    constexpr std::size_t kBlock = std::size_t{64} << 10;
    rows_a_block_ = kBlock / row_size_;
    for (std::size_t k = 0; k < rows_a_block_; ++k) block_ += row_trace;
  }

  void row() {
    if (++pending_ == rows_a_block_) finish();
  }

  void finish() {
    if (console_ != nullptr) std::fwrite(block_.data(), row_size_, pending_, console_);
    pending_ = 0;
  }

 private:
  std::FILE* console_;
  std::size_t row_size_;
  std::size_t rows_a_block_ = 0;  // none without a console: row() never writes
  std::string block_;
  std::size_t pending_ = 0;  // rows whose trace is not written yet
};

}  // namespace

int row_count(float height, float definition) {
  // Not rounded to float first: 1 / 0.1f is 9.99999985, which a float
  // would make 10.
  const double q = std::trunc(double{height} / double{definition});
  if (!(q > 0 && q <= INT_MAX)) return 0;
  return static_cast<int>(q);
}

bool sweep(const Answers& answers, Sink* out, std::FILE* console,
           std::string* error) {
  const float phi = radians(answers.friction_angle);
  const FrictionGroups groups = friction_groups(phi);
  RowTails tails(groups);
  ConsoleTrace trace(groups.trace, console);
  if (!out->append(header(answers), error)) return false;

  const int rows = row_count(answers.height, answers.definition);
  float h = 0.0f;
  for (int i = 0; i < rows; ++i) {
    // Heights are accumulated in float, as a person stepping up would:
    // ten steps of 0.1 give 1.0000001.
    h = static_cast<float>(double{h} + double{answers.definition});
    const float y = arrondir(B(h, answers.cohesion, answers.density, phi), 2);
    const std::string& tail = tails.after_height(y);
    char* row = out->begin_write(kCellMax + tail.size(), error);
    if (row == nullptr) return false;
    out->end_write(std::copy(tail.begin(), tail.end(), write_decimal_cell(row, h)));
    trace.row();
  }
  trace.finish();
  return true;
}

}  // namespace telk
