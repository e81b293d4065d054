// The height sweep: one row per height step, one column group per factor
// of safety.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "driver/answers.h"
#include "report/check_file.h"
#include "report/sink.h"

namespace telk {

// Rows in a sweep of `height` in steps of `definition`: the exact quotient
// truncated toward zero (1 / 0.1f gives 9, not 10).  None when that is not
// positive, or when the quotient is not finite or beyond the int range.
int row_count(float height, float definition);

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

// The check of a sweep by Bishop's method: the sink of its file, and its
// rows, which keep the lowest factor of safety of each column.
struct Check {
  Check(const Answers& answers, Sink* sink)
      : file(sink), rows(answers.friction_angle, answers.cohesion, answers.density) {}
  Sink* file;
  CheckRows rows;
};

// Writes the result file's bytes to `out`, the header and then one row per
// height step, and the progress trace to `console` unless it is null; with
// a check, the check file's bytes too, row for row.
bool sweep(const SweepPlan& plan, Sink* out, std::FILE* console, std::string* error,
           Check* check = nullptr);

}  // namespace telk
