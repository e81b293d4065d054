// The steepest safe angle: where the factor of safety falls as the slope
// steepens, secant steps from a start to a bracket of the target, then the
// Illinois form of false position in it; under a water table, a scan up
// from the flattest slope whose steps the factor of safety's bend bounds,
// then false position in the first bracket, every point it keeps on the
// flatter side checked as the scan's are.
#include "bishop/steepest.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "bishop/tuning.h"

namespace telk {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool inside(double angle) { return angle > 0 && angle < 90; }

// The factor of safety at an angle, each angle solved once.
class Solved {
 public:
  Solved(const std::function<double(double)>& fs, const std::map<double, double>& solved)
      : fs_(fs), known_(solved) {}
  double operator()(double beta) {
    ++asked_;
    const auto [at, fresh] = known_.try_emplace(beta, 0.0);
    if (fresh) at->second = fs_(beta);
    return at->second;
  }
  const std::map<double, double>& known() const { return known_; }
  // The angles asked for here, solved already or not: a scan's path is
  // the same whatever was solved before it.
  std::size_t asked() const { return asked_; }

 private:
  const std::function<double(double)>& fs_;
  std::map<double, double> known_;
  std::size_t asked_ = 0;
};

// The Illinois form of false position in the bracket [a, b] of the target
// (fa and fb the factors of safety less the target, of opposite signs), to
// the tolerance; the end that reaches the target, the flatter.
Steepest illinois(Solved& fs, double target, double tolerance, double a, double fa, double b,
                  double fb) {
  for (int i = 0; i < kBracketSteps && std::abs(b - a) > tolerance && fb != 0; ++i) {
    double c = (a * fb - b * fa) / (fb - fa);
    // Next to the root the steps from the last point shrink with its
    // value, while the bracket's far end waits for the halvings of its own
    // to come in: a step under half the tolerance is taken as half the
    // tolerance, into the bracket, which then closes on the next solve
    // rather than some four more.
    if (std::abs(c - b) < tolerance / 2) c = b + (a > b ? 0.5 : -0.5) * tolerance;
    const double fc = fs(c) - target;
    if (fc * fb < 0) {
      a = b, fa = fb;
    } else {
      fa /= 2;  // the end kept twice counts for less
    }
    b = c, fb = fc;
  }
  const double slope = a != b && fa * fb < 0 ? (fb - fa) / (b - a) : kNaN;
  return {fb >= 0 ? b : a, slope};
}

// Where the factor of safety falls as the slope steepens it crosses the
// target once.  From the tightest bracket among the angles solved already;
// else from the guess, else the solved angle whose factor of safety is
// nearest the target, else `from`, else 45: a secant step by the slope
// guessed, secant steps on until the target is crossed, then false
// position in that bracket.  90 where a vertical cut reaches the target.
Steepest falling(Solved& fs, double target, const SteepestSearch& search) {
  // The tightest bracket among the angles solved already: the steepest
  // still reaching the target, and the flattest past it, steeper.
  double reach = kNaN, f_reach = kNaN, past = kNaN, f_past = kNaN;
  for (const auto& [beta, f] : fs.known()) {
    if (!(beta >= kLeastSlopeAngle && beta <= 90)) continue;
    if (f >= target) reach = beta, f_reach = f - target;
    if (f < target && past != past && beta > reach) past = beta, f_past = f - target;
  }
  if (reach == reach && past == past && past > reach)
    return illinois(fs, target, search.tolerance, reach, f_reach, past, f_past);
  // From a guess some hundredths of a degree off, a step or two of the
  // secant brackets the target.
  double a = kNaN, fa = kNaN, least_step = kLeastSecantStep;
  if (inside(search.guess)) {
    a = search.guess, fa = fs(a) - target;
    least_step = search.tolerance;
  } else {
    for (const auto& [beta, f] : fs.known()) {
      if (beta >= kLeastSlopeAngle && beta <= 90 && !(std::abs(f - target) >= std::abs(fa)))
        a = beta, fa = f - target;
    }
  }
  if (!(fa == fa)) {
    // A vertical cut too: where the last crossing stood, this one's often
    // does, which one solve tells rather than secant steps up from 45
    // degrees.
    a = inside(search.from) || search.from == 90 ? search.from : kFirstAngle;
    fa = fs(a) - target;
  }
  if (fa == 0) return {a, kNaN};
  const double toward = fa > 0 ? 1 : -1;
  double step = -fa / search.slope;
  if (!(toward * step >= least_step)) step = toward * least_step;
  if (toward * step > kLongestSecantStep) step = toward * kLongestSecantStep;
  double b = std::clamp(a + step, kLeastSlopeAngle, 90.0);
  if (b == a) return {fa > 0 ? 90 : kNaN, kNaN};
  double fb = fs(b) - target;
  for (bool first = true; fa * fb > 0; first = false) {
    // Twice as far as where the secant through the two meets the target
    // (as far past it as b falls short of it, which the secant misses by
    // less than that), at least a quarter degree; after a miss, at least
    // twice as far again as the last step; at most kLongestSecantStep on.  Rather
    // than twice the last step at once: the bracket then spans some degrees
    // rather than over ten, and its points stay near the searches before.
    const double width = std::abs(b - a);
    const double secant = toward * (-fb * (b - a) / (fb - fa));
    double next = b + toward * std::max(2 * secant, first ? least_step : 2 * width);
    if (!(secant > 0)) next = b + toward * 2 * width;
    if (toward * (next - b) > kLongestSecantStep) next = b + toward * kLongestSecantStep;
    next = std::clamp(next, kLeastSlopeAngle, 90.0);
    // A vertical cut stands, or the flattest slope falls.
    if (next == b) return {fb > 0 ? 90 : kNaN, kNaN};
    a = b, fa = fb;
    b = next, fb = fs(b) - target;
  }
  return illinois(fs, target, search.tolerance, a, fa, b, fb);
}

// Under a water table: the scan up from an angle that every flatter slope
// is known to reach the target by.  Between two angles a and b the
// logarithm of the factor of safety, g, bends upward by at most
// k = kSteepestBend + kSteepestFlatBend / a^2 per square degree, so that it lies above
// the parabola through its ends that bends so: an interval is clear (no
// angle in it below the target) where that parabola's least is at or
// above the target's.  Each step is the longest whose parabola, over a
// level chord, stays above it; an interval that is not clear is halved
// until its halves are or one is below the target; in a bracket, false
// position, each point kept on the flatter side taken only once the
// interval up to it is clear.
class Scan {
 public:
  Scan(Solved& fs, double target, double tolerance, const std::vector<double>& events)
      : fs_(fs),
        target_(target),
        log_target_(std::log(target)),
        tolerance_(tolerance),
        events_(events) {}

  // Every angle up to `a` is clear; the points solved beyond it that
  // reach the target wait in `ahead`, the nearest last, and a point that
  // falls below it, once one is found, ends the search in its bracket.
  double up_from(double a) {
    double fa = fs_(a);
    if (!(fa >= target_)) return kNaN;
    double falls = 0;  // how fast ln(fs) fell over the last step, per degree
    double from = a, f_from = fa;  // where the last step began
    std::vector<Ahead> ahead;
    // The bracket: its steeper end, below the target, and false
    // position's weights of its ends (the Illinois form: an end kept
    // twice counts half).
    double fail = kNaN, wa = 0, wb = 0;
    int kept = 0;  // which end the last step kept: 1 the flatter, -1 the steeper
    int steps = 0;
    for (;;) {
      if (spent()) return a;
      if (!ahead.empty()) {
        const Ahead next = ahead.back();
        if (clear(a, fa, next.angle, next.fs)) {
          ahead.pop_back();
          if (next.kind == Ahead::kStep) {
            falls = std::max(0.0, (std::log(f_from) - std::log(next.fs)) / (next.angle - from));
            if (!(falls < kInfinity)) falls = 0;  // from no slip circle: no slope to go by
          }
          if (next.kind == Ahead::kFalsePosition) {
            wa = next.fs - target_;
            if (kept == -1) wb /= 2;
            kept = -1;
          }
          a = next.angle, fa = next.fs;
          continue;
        }
        // Not clear: halved, down to the tolerance.
        if (next.angle - a <= tolerance_) return a;
        const double m = (a + next.angle) / 2, fm = fs_(m);
        if (fm >= target_) {
          ahead.push_back({m, fm, Ahead::kHalf});
        } else {
          ahead.clear();
          fail = m, wa = fa - target_, wb = fm - target_, kept = 0, steps = 0;
        }
        continue;
      }
      if (fail == fail) {
        // In the bracket [a, fail]: false position, at least half the
        // tolerance inside it.
        if (!(fail - a > tolerance_) || steps++ == kBracketSteps) return a;
        double c = (a * wb - fail * wa) / (wb - wa);
        if (!(c == c)) c = (a + fail) / 2;  // an end not finite: halved
        c = std::clamp(c, a + tolerance_ / 2, fail - tolerance_ / 2);
        const double fc = fs_(c);
        if (fc >= target_) {
          ahead.push_back({c, fc, Ahead::kFalsePosition});
        } else {
          fail = c, wb = fc - target_;
          if (kept == 1) wa /= 2;
          kept = 1;
        }
        continue;
      }
      if (!(a < 90)) return 90;
      const double b = std::min(90.0, a + step_from(a, fa, falls));
      const double fb = fs_(b);
      from = a, f_from = fa;
      if (fb >= target_) {
        ahead.push_back({b, fb, Ahead::kStep});
      } else {
        fail = b, wa = fa - target_, wb = fb - target_, kept = 0, steps = 0;
      }
    }
  }

 private:
  // A point solved beyond the clear angles, reaching the target: a step
  // of the scan, a halving, or a point false position found.
  struct Ahead {
    enum Kind { kStep, kHalf, kFalsePosition };
    double angle, fs;
    Kind kind;
  };

  // The scan's step from a: up to where an event's reach starts at most,
  // then steps bent as near it.
  double step_from(double a, double fa, double falls) const {
    const double room = std::log(fa) - log_target_;
    const double k = smooth_bend(a);
    double step = longest_step(room, falls, k);
    for (const double e : events_) {
      const double near = e - kSteepestEventReach;
      if (a + step >= near && a <= e + kSteepestEventReach) {
        step = std::min(step, a < near ? near - a
                                       : longest_step(room, falls, k + kSteepestEventBend));
      }
    }
    return std::clamp(step, tolerance_, kLongestScanStep);
  }

  // The longest step whose parabola of bend k stays above the target's,
  // `room` below ln(fs) here, were ln(fs) to fall on as it did, `falls` a
  // degree: the chord then ends room lower at s = room / falls, and bends
  // the most at the far end.  Short of that, kScanStepShare of it.  Where
  // that crossing is within reach, a step a third past it brackets it.
  static double longest_step(double room, double falls, double k) {
    double step = falls > 0 && room <= 2 * falls * falls / k
                      ? room / falls
                      : kScanStepShare * 4 / k * (std::sqrt(k * room / 2) - falls / 2);
    if (falls > 0 && room < falls * step * kScanPast) step = kScanPast * std::min(step, room / falls);
    return step;
  }

  // The bend at a and steeper, away from events; over [a, b], more where
  // it reaches into an event's reach.
  static double smooth_bend(double a) { return kSteepestBend + kSteepestFlatBend / (a * a); }
  double bend(double a, double b) const {
    const bool near = std::any_of(events_.begin(), events_.end(), [&](double e) {
      return b > e - kSteepestEventReach && a < e + kSteepestEventReach;
    });
    return smooth_bend(a) + (near ? kSteepestEventBend : 0);
  }

  // Whether no angle in [a, b] falls below the target, both ends reaching it.
  bool clear(double a, double fa, double b, double fb) const {
    double ga = std::log(fa), gb = std::log(fb);
    // An end with no slip circle (an infinite factor of safety) tells
    // nothing of the slope there: the chord is taken level.
    if (!(ga < kInfinity)) ga = gb;
    if (!(gb < kInfinity)) gb = ga;
    if (!(ga < kInfinity)) return true;
    const double s = b - a, k = bend(a, b);
    // The parabola ga + (gb - ga) t / s - k t (s - t) / 2 is least at t.
    const double t = std::clamp(s / 2 - (ga - gb) / (k * s), 0.0, s);
    return ga + (gb - ga) * t / s - k * t * (s - t) / 2 >= log_target_;
  }

  bool spent() const { return fs_.asked() >= kScanSolves; }

  Solved& fs_;
  double target_, log_target_, tolerance_;
  const std::vector<double>& events_;
};

}  // namespace

bool falls_as_it_steepens(const Ground& ground) {
  return ground.water.water_table_points == 0 &&
         !(ground.base_depth > 0 && ground.shaking.horizontal > 0) &&
         !(ground.crack.fill > 0) && !(ground.load.pressure > 0);
}

bool safer_when_lower(const Ground& ground) { return ground.base_depth == 0; }

std::vector<double> water_table_events(const Ground& ground) {
  std::vector<double> events;
  const Water& w = ground.water;
  auto degrees = [](double rise, double run) { return std::atan2(rise, run) * (180 / 3.14159265358979323846); };
  const double* xs = w.water_table_x;
  const double* ys = w.water_table_y;
  for (int i = 0; i < w.water_table_points; ++i) {
    // A point of the table on the face, or on the crest's edge.
    if (xs[i] > 0 && ys[i] > 0 && ys[i] <= 1) events.push_back(degrees(ys[i], xs[i]));
    // Where the table crosses the crest's level, the crest's edge.
    if (i + 1 < w.water_table_points && (ys[i] - 1) * (ys[i + 1] - 1) < 0) {
      const double x = xs[i] + (1 - ys[i]) / (ys[i + 1] - ys[i]) * (xs[i + 1] - xs[i]);
      if (x > 0) events.push_back(degrees(1, x));
    }
  }
  return events;
}

Steepest steepest_safe_angle(const std::function<double(double)>& fs,
                             const std::map<double, double>& solved, double target,
                             const SteepestSearch& search) {
  Solved at(fs, solved);
  if (search.falls) return falling(at, target, search);
  if (search.clear_to == 90) return {90, kNaN};
  const double from = search.clear_to > kLeastSlopeAngle && search.clear_to < 90
                          ? search.clear_to
                          : kLeastSlopeAngle;
  Scan scan(at, target, search.tolerance, search.events);
  const double angle = scan.up_from(from);
  // Where the slope said to be clear falls short after all (a taller
  // slope's angle, a hair off by the searches' roundings), the scan starts
  // again from the flattest.
  if (angle != angle && from > kLeastSlopeAngle) return {scan.up_from(kLeastSlopeAngle), kNaN};
  return {angle, kNaN};
}

}  // namespace telk
