// The solver at nodes a quarter apart in ln(h), each solved once when a
// row first needs it, and the rows between read off a cubic through the
// four nodes around them, lowered by the margins of sweep_answers.h so
// that nothing is on the unsafe side of a direct solve at the row's
// height.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "bishop/cubic.h"
#include "bishop/sweep_solver.h"
#include "bishop/sweep_strategies.h"
#include "bishop/tuning.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Whether the critical circles at the six nodes about the interval from
// `k`, `spacing` apart, follow cubics as the values must: where they
// leave the face, where they enter the ground and how deep they go,
// within kCircleTolerance of the radius at `k`.  Without circles to tell
// (no cohesion: the factor of safety is the plane's, smooth), they do.
template <typename ArcOf>
bool circles_follow(std::int64_t k, std::int64_t spacing, ArcOf arc) {
  double exits[6], entries[6], depths[6], radius = 0;
  for (int i = 0; i < 6; ++i) {
    const Arc* a = arc(k + (i - 2) * spacing);
    if (a == nullptr || !std::isfinite(a->centre_y - a->radius)) return true;
    exits[i] = a->exit_x, entries[i] = a->entry_x, depths[i] = a->centre_y - a->radius;
    if (i == 2) radius = a->radius;
  }
  const double tolerance = kCircleTolerance * radius;
  return cubics_agree(exits, tolerance) && cubics_agree(entries, tolerance) &&
         cubics_agree(depths, tolerance);
}

bool inside(double angle) { return angle > 0 && angle < 90; }

double key_of(std::int64_t ticks) { return static_cast<double>(ticks) * (kNodeSpacing / kTicks); }

class NodeAnswers : public SolvedAnswers {
 public:
  explicit NodeAnswers(const Ground& ground) : SolvedAnswers(ground, kNodePrecision) {}

  double factor_of_safety(double h, double beta) override {
    if (!solvable(h, beta)) return kNaN;
    const double ticks = std::log(h) / kNodeSpacing * kTicks;
    CubicPiece& p = fs_pieces_[beta];
    if (!(ticks >= p.from && ticks < p.to)) {
      p = piece_about(
          ticks, kTicks, kLeastSpacing,
          [&](std::int64_t at) { return std::log(solver_.factor_of_safety(node(at), beta)); },
          [](double v) { return std::abs(v) < kInfinity; },
          [&](std::int64_t k, std::int64_t spacing) {
            return circles_follow(k, spacing, [&](std::int64_t at) { return &node(at).arcs.at(beta); });
          },
          kSweepFsTolerance);
    }
    return std::exp(p.at(ticks)) / (1 + kSweepFsError);
  }

  double steepest_angle(double h, double target) override {
    if (!(h > 0)) return kNaN;
    const double ticks = std::log(h) / kNodeSpacing * kTicks;
    CubicPiece& p = steepest_pieces_[target];
    if (!(ticks >= p.from && ticks < p.to)) {
      p = piece_about(
          ticks, kTicks, kLeastSpacing, [&](std::int64_t at) { return node_steepest(at, target); },
          inside,
          [&](std::int64_t k, std::int64_t spacing) {
            return circles_follow(k, spacing, [&](std::int64_t at) -> const Arc* {
              const SweepNode& n = node(at);
              const auto a = n.arcs.find(node_steepest(at, target));
              return a != n.arcs.end() ? &a->second : nullptr;
            });
          },
          kSweepAngleTolerance);
    }
    const double angle = p.at(ticks);
    return angle == 90 ? 90 : angle - kSweepAngleError;
  }

 private:
  SweepNode& node(std::int64_t ticks) {
    SweepNode& n = nodes_[ticks];
    if (n.height == 0) n.height = std::exp(key_of(ticks));
    return n;
  }

  double node_steepest(std::int64_t ticks, double target) {
    return solver_.steepest_angle(node(ticks), target,
                                  [&](double t) { return neighbours_steepest(ticks, t); });
  }

  // The steepest angle for the target at the node along the line in ln(h)
  // through the two nearest nodes that have one; the nearest's alone where
  // only one has; not a number where none has.
  double neighbours_steepest(std::int64_t ticks, double target) const {
    const double at = key_of(ticks);
    double keys[2] = {kNaN, kNaN}, angles[2] = {kNaN, kNaN};
    int found = 0;
    for (const auto& [k, m] : nodes_) {
      const auto s = m.steepest.find(target);
      if (k == ticks || s == m.steepest.end() || !inside(s->second)) continue;
      const double key = key_of(k), off = std::abs(key - at);
      if (found == 0 || off < std::abs(keys[0] - at)) {
        keys[1] = keys[0], angles[1] = angles[0];
        keys[0] = key, angles[0] = s->second;
      } else if (found == 1 || off < std::abs(keys[1] - at)) {
        keys[1] = key, angles[1] = s->second;
      }
      found = std::min(found + 1, 2);
    }
    if (found < 2) return angles[0];
    const double x = (at - keys[0]) / (keys[1] - keys[0]);
    return std::clamp(angles[0] + x * (angles[1] - angles[0]), kLeastSlopeAngle, 90.0);
  }

  std::map<std::int64_t, SweepNode> nodes_;  // by ln(h) in ticks
  // The pieces the last rows were read off, by slope angle and by target.
  std::map<double, CubicPiece> fs_pieces_, steepest_pieces_;
};

}  // namespace

std::unique_ptr<SweepAnswers> node_answers(const Ground& ground) {
  return std::make_unique<NodeAnswers>(ground);
}

double nodes_needed(double lowest, double highest) {
  return std::log(highest / lowest) / kNodeSpacing + 4;
}

}  // namespace telk
