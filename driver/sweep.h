// The height sweep: one row per height step, one column group per factor
// of safety.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "driver/answers.h"
#include "driver/check.h"
#include "output/sink.h"

namespace telk {

// Rows in a sweep of `height` in steps of `definition`: the exact quotient
// truncated toward zero (1 / 0.1f gives 9, not 10).  None when that is not
// positive, or when the quotient is not finite or beyond the int range.
int row_count(float height, float definition);

// The height of the row after one of height h: heights are accumulated in
// float, as a person stepping up would (ten steps of 0.1 give 1.0000001).
float next_height(float h, float definition);

// A sweep that check_sweep() has allowed: only it makes one, so no front
// end can sweep answers that were not checked.
class SweepPlan {
 public:
  const Answers& answers() const { return answers_; }
  int rows() const { return rows_; }

 private:
  friend std::optional<SweepPlan> check_sweep(const Answers& answers, std::string* error);
  SweepPlan(const Answers& answers, int rows) : answers_(answers), rows_(rows) {}

  Answers answers_;
  int rows_;
};

// The plan of the sweep the answers ask for.  None, with the line to show,
// when it has more rows than an int counts (a finite quotient beyond it),
// or when a height added up in float strays 0.005 m or more from its exact
// step, so that its cell would show a height that was never asked for.
std::optional<SweepPlan> check_sweep(const Answers& answers, std::string* error);

// Told of every row as it is written, for a front end that draws the
// sweep: where the row begins in the result file's sink and, with the
// check, in the check file's (which hold while the sinks keep their
// bytes in place), and whether it shows other numbers than the row before
// (a new tail after the height; with the check, new steepest angles).  A
// plot draws the same lines from the first and last rows of each run of
// unchanged ones.
class RowWatcher {
 public:
  virtual ~RowWatcher() = default;
  virtual void row(const char* row, const char* check_row, bool changed) = 0;
};

// Writes the result file's bytes to `out`, the header and then one row per
// height step, and the progress trace to `console` unless it is null; with
// a check, the check file's bytes too, row for row; with a watcher, tells
// it of each row.
bool sweep(const SweepPlan& plan, Sink* out, std::FILE* console, std::string* error,
           Check* check = nullptr, RowWatcher* watcher = nullptr);

}  // namespace telk
