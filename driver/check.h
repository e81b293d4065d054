// The check of a sweep by Bishop's method: for each row, Bishop's factor
// of safety of the slope built at each of the chart's angles and Bishop's
// steepest angle for each factor of safety (bishop/sweep_answers.h gives
// them), written as cells, and the lowest factor of safety of each column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "bishop/bishop.h"
#include "bishop/run_each.h"
#include "bishop/sweep_answers.h"
#include "chart/chart.h"
#include "driver/answers.h"
#include "driver/options.h"
#include "output/sink.h"
#include "report/check_file.h"

namespace telk {

// Whether the solver takes the options' base under every row of the sweep
// the answers ask for: no deeper than kDeepestBase times the first row's
// height, the definition, where D / h is the largest.  False, with the
// line to show, where it is deeper: refused before anything is written,
// as --fs refuses it.
bool base_within_reach(const Answers& answers, const GroundOptions& options,
                       OptionError* error);

// The chart's row of each column group, looked up once for the run's
// friction angle, and the slope angles they give a cohesion ratio.
struct ChartGroups {
  explicit ChartGroups(float phi) {
    for (int g = 0; g < kGroups; ++g) {
      friction_ratios[g] = friction_ratio(phi, kFactorsOfSafety[g].chart);
      rows[g] = chart_row(friction_ratios[g]);
    }
  }
  void angles(float y, float out[kGroups]) const {
    for (int g = 0; g < kGroups; ++g) out[g] = slope_angle(rows[g], y);
  }
  float friction_ratios[kGroups];
  ChartRow rows[kGroups];
};

// The lowest of a column's Bishop factors of safety, and the height of its
// first row; +infinity where the column has no angle checked.
struct Lowest {
  double fs = std::numeric_limits<double>::infinity();
  float height = 0.0f;
};

// Told how far a slow check has come, for a front end to show: the
// share of the sweep's height done, from 0 to 1.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void at(double share) = 0;
  // Something else is about to be written to the console: the progress
  // shown, if any, is taken away, and shown anew after it.
  virtual void wipe() {}
};

class Check {
 public:
  // The ground as typed with what the options add (water, whose unit
  // weight is settled, a deeper base, a load), and the sink of the check
  // file, the caller's, which must outlive the check.  Where the ground has
  // no Bishop answer (a strength the solver does not take: takes_strength)
  // every Bishop cell is empty.  With water, a deeper base or an
  // earthquake's load, which the solver answers (at rows or at nodes),
  // `progress` (the caller's, if any) is told how far it has come.
  // The solver's slopes are solved in batches by run_each (on every core,
  // on the console); the answers do not depend on how.
  Check(const Answers& answers, Sink* file, const GroundOptions& options = {},
        Progress* progress = nullptr, const RunEach& run_each = run_each_in_turn);
  ~Check();
  Check(const Check&) = delete;
  Check& operator=(const Check&) = delete;

  // The check file's header, for the answers and options it was made with.
  const std::string& header() const { return header_; }

  // How many slopes the solver has solved for a check with water, a deeper
  // base or an earthquake's load (none on the table), for a line of
  // progress.
  std::int64_t solves() const;

  Sink* file() const { return file_; }
  Progress* progress() const { return progress_; }

  // Writes the row's cells after its height cell at out, for the height h
  // and the chart's angles of the three groups (not a number where the
  // chart gives none), and returns their end: at most kCheckTailMax bytes
  // on.  *steepest_changed, when asked for, tells whether a steepest angle
  // shows otherwise than in the row before.
  char* write_after_height(char* out, float h, const float chart_angles[kGroups],
                           bool* steepest_changed);

  const Lowest& lowest(int g) const { return lowest_[g]; }
  // Whether column g's lowest factor of safety is more than kShortPercent
  // below its own, which its line then calls not safe.
  bool falls_short(int g) const;
  // What the check found in column g, in one line (lowest_line).
  std::string lowest_line(int g) const;

 private:
  void remake(double key, float h, const float chart_angles[kGroups], bool* steepest_changed);

  Sink* const file_;
  std::string header_;
  // Bishop's answers along the sweep; null where the ground has none.
  std::unique_ptr<SweepAnswers> answers_;
  Progress* progress_;
  double last_height_ = 0;  // the sweep's, for the progress
  Lowest lowest_[kGroups];
  // The cells depend on the answers' key and the chart's angles alone,
  // which keep their values over runs of rows on the table: they are made
  // again only when one of them changes.
  char tail_[kCheckTailMax] = {};
  std::size_t size_ = 0;
  std::uint64_t key_bits_ = 0;
  std::uint32_t angle_bits_[kGroups] = {};
  std::string_view steepest_[kGroups];  // the steepest angle cells in tail_
};

}  // namespace telk
