#include "bishop/sweep_answers.h"

#include "bishop/steepest.h"
#include "bishop/sweep_strategies.h"
#include "bishop/tuning.h"

namespace telk {

std::unique_ptr<SweepAnswers> sweep_answers(const Ground& ground, double tan_phi,
                                            double lowest, double highest, std::int64_t rows,
                                            const SweepRun& run) {
  const bool dry = !wet(ground.water);
  const bool still = ground.shaking.horizontal == 0 && ground.shaking.vertical == 0;
  if (dry && still && !(ground.base_depth > 0) && !crest_given(ground))
    return table_answers(tan_phi, ground.cohesion, ground.unit_weight);
  const double rows_a_node =
      falls_as_it_steepens(ground) ? kSolvesANode / kSolvesARow : kScannedRowsANode;
  if (!(lowest > 0 && highest >= lowest) ||
      static_cast<double>(rows) <= nodes_needed(lowest, highest) * rows_a_node)
    return row_answers(ground, highest, run);
  return node_answers(ground, highest, run);
}

}  // namespace telk
