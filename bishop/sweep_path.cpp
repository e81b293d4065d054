#include "bishop/sweep_path.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "bishop/critical.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The nodes' spacing in ln(h): a quarter, some 28% in height.  A cubic
// through four nodes follows the factor of safety and the steepest angle,
// smooth in ln(h), to well within their margins, and a sweep of a million
// rows from 0.125 m solves some sixty nodes.
constexpr double kStep = 0.25;

// The steepest angle found to this many degrees.
constexpr double kAngleTolerance = 1e-4;

// Nodes are keyed by ln(h) in 1/kWhole of kStep, so that an interval's
// halvings are nodes too.
constexpr std::int64_t kWhole = 1024;

// Where an interval's nodes are not both inside (0, 90) degrees, it is
// halved until their angles differ by at most this, or it is 1/kWhole of
// kStep wide, and the lower end's angle is taken.
constexpr double kEdgeAngle = 0.05;

// The weights at x of the cubic through the values at -1, 0, 1 and 2.
void cubic_weights(double x, double w[4]) {
  const double a = x + 1, b = x, c = x - 1, d = x - 2;
  w[0] = -(b * c * d) / 6;
  w[1] = a * c * d / 2;
  w[2] = -(a * b * d) / 2;
  w[3] = a * b * c / 6;
}

bool inside(double angle) { return angle > 0 && angle < 90; }

}  // namespace

// A node: the slope at one height, solved at the angles and for the
// targets rows have asked for, with the circles its searches found.
struct SweepNode {
  double height;
  bool searched = false;  // a whole search was made here
  Leads leads;
  std::map<double, double> fs;        // by slope angle
  std::map<double, double> steepest;  // by target
};

SweepPath::SweepPath(const Ground& ground) : ground_(ground) {}
SweepPath::~SweepPath() = default;

SweepNode& SweepPath::node(std::int64_t k) {
  std::unique_ptr<SweepNode>& n = nodes_[k];
  if (!n) {
    n = std::make_unique<SweepNode>();
    n->height = std::exp(static_cast<double>(k) * (kStep / kWhole));
  }
  return *n;
}

double SweepPath::node_fs(std::int64_t k, double beta) {
  SweepNode& n = node(k);
  const auto found = n.fs.find(beta);
  if (found != n.fs.end()) return found->second;
  Ground g = ground_;
  g.height = n.height;
  g.slope_angle = beta;
  const Section section = section_of(g);
  // The first slope at a node is searched whole; the others start from
  // what that found, as slopes a few degrees apart share their valleys.
  const Critical c = n.searched ? critical_arc_near(section, &n.leads)
                                : critical_arc(section, &n.leads);
  n.searched = true;
  ++solves_;
  n.fs.emplace(beta, c.fs);
  return c.fs;
}

double SweepPath::node_steepest(std::int64_t k, double target) {
  SweepNode& n = node(k);
  const auto found = n.steepest.find(target);
  if (found != n.steepest.end()) return found->second;
  double angle = 90;
  if (node_fs(k, 90) < target) {
    // From the node below's angle (or 45), steps of 4 degrees toward the
    // target until it is crossed, then the Illinois form of false position
    // in that bracket.  The factor of safety falls as the slope steepens.
    const auto below = nodes_.find(k - kWhole);
    double a = 45;
    if (below != nodes_.end()) {
      const auto known = below->second->steepest.find(target);
      if (known != below->second->steepest.end() && inside(known->second)) a = known->second;
    }
    double fa = node_fs(k, a) - target, b = a, fb = fa;
    for (;;) {
      b = fa > 0 ? std::min(90.0, a + 4) : std::max(kLeastSlopeAngle, a - 4);
      if (b == a) break;  // at the flattest slope, still short
      fb = node_fs(k, b) - target;
      if (!(fa * fb > 0)) break;
      a = b, fa = fb;
    }
    if (b == a) {
      angle = kNaN;
    } else {
      for (int i = 0; i < 60 && std::abs(b - a) > kAngleTolerance && fb != 0; ++i) {
        const double c = (a * fb - b * fa) / (fb - fa);
        const double fc = node_fs(k, c) - target;
        if (fc * fb < 0) {
          a = b, fa = fb;
        } else {
          fa /= 2;  // the end kept twice counts for less
        }
        b = c, fb = fc;
      }
      // The end that reaches the target: the flatter.
      angle = fb >= 0 ? b : a;
    }
  }
  n.steepest.emplace(target, angle);
  return angle;
}

double SweepPath::factor_of_safety(double h, double beta) {
  if (!(h > 0) || !(beta >= kLeastSlopeAngle && beta <= 90)) return kNaN;
  const double z = std::log(h) / kStep;
  const double whole = std::floor(z);
  const auto k = static_cast<std::int64_t>(whole) * kWhole;
  double w[4], lnfs = 0;
  cubic_weights(z - whole, w);
  for (int i = 0; i < 4; ++i) {
    const double fs = node_fs(k + (i - 1) * kWhole, beta);
    if (!(fs > 0 && fs < std::numeric_limits<double>::infinity())) {
      // No logarithm to follow: the lower of the interval's ends.
      return std::min(node_fs(k, beta), node_fs(k + kWhole, beta)) / (1 + kSweepFsError);
    }
    lnfs += w[i] * std::log(fs);
  }
  return std::exp(lnfs) / (1 + kSweepFsError);
}

double SweepPath::steepest_angle(double h, double target) {
  if (!(h > 0)) return kNaN;
  const double z = std::log(h) / kStep;
  const double whole = std::floor(z);
  const auto k = static_cast<std::int64_t>(whole) * kWhole;
  double w[4], angle = 0, nodes[4];
  cubic_weights(z - whole, w);
  for (int i = 0; i < 4; ++i) nodes[i] = node_steepest(k + (i - 1) * kWhole, target);
  if (!std::all_of(nodes, nodes + 4, inside)) return edge_steepest(z, k, target);
  for (int i = 0; i < 4; ++i) angle += w[i] * nodes[i];
  return angle - kSweepAngleError;
}

// Between nodes of which one is 90 or none: the interval halved about z
// until its ends' angles are near, and the lower end's taken.
double SweepPath::edge_steepest(double z, std::int64_t k, double target) {
  std::int64_t lo = k, hi = k + kWhole;
  double a = node_steepest(lo, target), b = node_steepest(hi, target);
  const double zk = z * kWhole;
  while (hi - lo > 1 && !(a == b || (inside(a) && inside(b) && std::abs(a - b) <= kEdgeAngle))) {
    const std::int64_t mid = (lo + hi) / 2;
    const double m = node_steepest(mid, target);
    if (zk < static_cast<double>(mid)) {
      hi = mid, b = m;
    } else {
      lo = mid, a = m;
    }
  }
  if (!(a == a) || !(b == b)) return kNaN;
  const double least = std::min(a, b);
  return least == 90 ? 90 : least - kSweepAngleError;
}

}  // namespace telk
