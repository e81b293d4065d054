// The three ways of sweep_answers.h, which its factory chooses among.
#pragma once

#include <cstdint>
#include <memory>

#include "bishop/sweep_answers.h"

namespace telk {

// The fast path's table (table_answers.cpp): dry, still ground on a base
// at the toe, of this strength.
std::unique_ptr<SweepAnswers> table_answers(double tan_phi, double cohesion,
                                            double unit_weight);

// The solver at each row's own height (row_answers.cpp).
// Rows are solved ahead up to the highest, where the run tells the next.
std::unique_ptr<SweepAnswers> row_answers(const Ground& ground, double highest,
                                          const SweepRun& run);

// The solver at nodes in ln(h), the rows read off cubics (node_answers.cpp).
// The sweep's nodes go up to its highest row's.
std::unique_ptr<SweepAnswers> node_answers(const Ground& ground, double highest,
                                           const SweepRun& run);

// The nodes a sweep from `lowest` to `highest` needs without halvings:
// its span in ln(h) in node spacings, and some either side.
double nodes_needed(double lowest, double highest);

}  // namespace telk
