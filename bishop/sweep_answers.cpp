#include "bishop/sweep_answers.h"

#include "bishop/sweep_strategies.h"

namespace telk {

namespace {

// The solves a row costs, solved at its own height, and a node: a sweep
// whose rows cost fewer than the nodes it would need (without halvings)
// is solved at each row.
constexpr double kSolvesANode = 12;
constexpr double kSolvesARow = 8;

}  // namespace

std::unique_ptr<SweepAnswers> sweep_answers(const Ground& ground, double tan_phi,
                                            double lowest, double highest, std::int64_t rows) {
  const bool dry = ground.water.pore_ratio == 0 && ground.water.table_points == 0;
  const bool still = ground.shaking.horizontal == 0 && ground.shaking.vertical == 0;
  if (dry && still && !(ground.base_depth > 0))
    return table_answers(tan_phi, ground.cohesion, ground.unit_weight);
  if (!(lowest > 0 && highest >= lowest) ||
      static_cast<double>(rows) * kSolvesARow <= nodes_needed(lowest, highest) * kSolvesANode)
    return row_answers(ground);
  return node_answers(ground);
}

}  // namespace telk
